#include <gtest/gtest.h>

#include "tools/lorimane-editor/ScriptParser.h"

namespace {

using Kind = ScriptCommand::Kind;

TEST(ScriptParser, ReadsEachCommandWithItsArguments) {
    struct Case {
        const char* line;
        Kind kind;
        std::vector<int> numbers;
        int modifiers;
        std::string text;
    };
    const Case cases[] = {
        {"press 10 20", Kind::Press, {10, 20}, 0, ""},
        {"  move -5 7 shift+ctrl", Kind::Move, {-5, 7}, ScriptCommand::Shift | ScriptCommand::Ctrl, ""},
        {"release 1 2 host", Kind::Release, {1, 2}, ScriptCommand::Host, ""},
        {"click 3 4 alt+win", Kind::Click, {3, 4}, ScriptCommand::Alt | ScriptCommand::Win, ""},
        {"double-click 3 4", Kind::DoubleClick, {3, 4}, 0, ""},
        {"drag 1 2 30 40 5 16 ctrl", Kind::Drag, {1, 2, 30, 40, 5, 16}, ScriptCommand::Ctrl, ""},
        {"wheel 10 10 -3 50", Kind::Wheel, {10, 10, -3, 50}, 0, ""},
        {"hwheel 10 10 2 0 shift", Kind::HWheel, {10, 10, 2, 0}, ScriptCommand::Shift, ""},
        {"key Enter", Kind::Key, {13}, 0, "Enter"},
        {"key a ctrl", Kind::Key, {'A'}, ScriptCommand::Ctrl, "a"},
        {"type 12.5 ms", Kind::Type, {}, 0, "12.5 ms"},
        {"wait 300", Kind::Wait, {300}, 0, ""},
        {"menu Options>Enable MIDI Program Changes", Kind::Menu, {}, 0, "Options>Enable MIDI Program Changes"},
        {"menu cancel", Kind::Menu, {}, 0, ""},
        {"box ok", Kind::Box, {}, 0, "ok"},
        {"box cancel", Kind::Box, {}, 0, ""},
        {"file /tmp/a preset.bxp", Kind::File, {}, 0, "/tmp/a preset.bxp"},
        {"folder cancel", Kind::Folder, {}, 0, ""},
        {"set Delay Time=250 ms", Kind::Set, {}, 0, "Delay Time=250 ms"},
        {"midi cc 7 100", Kind::MidiCc, {7, 100}, 0, ""},
        {"midi note 60 0", Kind::MidiNote, {60, 0}, 0, ""},
        {"midi program 3", Kind::MidiProgram, {3}, 0, ""},
        {"print Feedback", Kind::Print, {}, 0, "Feedback"},
        {"print-normal Feedback", Kind::PrintNormal, {}, 0, "Feedback"},
        {"locate Undo", Kind::Locate, {}, 0, "Undo"},
        {"size", Kind::Size, {}, 0, ""},
        {"hint", Kind::Hint, {}, 0, ""},
        {"setting ShowModulation", Kind::Setting, {}, 0, "ShowModulation"},
        {"undo", Kind::Undo, {}, 0, ""},
        {"preset", Kind::Preset, {}, 0, ""},
        {"shot out/frame.png", Kind::Shot, {}, 0, "out/frame.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::optional<ScriptCommand> command;
        std::string error;
        ASSERT_TRUE(ScriptParser::parseLine(c.line, 7, command, error)) << error;
        ASSERT_TRUE(command);
        EXPECT_EQ(command->kind, c.kind);
        EXPECT_EQ(command->numbers, c.numbers);
        EXPECT_EQ(command->modifiers, c.modifiers);
        EXPECT_EQ(command->text, c.text);
        EXPECT_EQ(command->line, 7);
    }
}

TEST(ScriptParser, SkipsCommentsAndBlankLines) {
    for (const char* line : {"", "   ", "# a comment", "  # indented comment"}) {
        std::optional<ScriptCommand> command;
        std::string error;
        EXPECT_TRUE(ScriptParser::parseLine(line, 1, command, error)) << line;
        EXPECT_FALSE(command) << line;
    }
}

TEST(ScriptParser, RefusesUnknownCommandsAndBadArguments) {
    for (const char* line : {
             "jump 1 2",         // unknown command
             "Click 1 2",        // commands are lower case
             "click 1",          // missing coordinate
             "click 1 2 3",      // a number where modifiers go
             "click 1.5 2",      // not whole
             "click 1 2 shift+", // empty modifier
             "click 1 2 meta",   // unknown modifier
             "drag 1 2 3 4 0 10",
             "drag 1 2 3 4 5 -1",
             "wheel 1 2 3",
             "key",
             "key Hyper",
             "wait",
             "wait -5",
             "wait soon",
             "menu",
             "box maybe",
             "file",
             "set Feedback",
             "set =5",
             "midi cc 7",
             "midi cc 7 128",
             "midi program -1",
             "midi sysex 1",
             "print",
             "size 3",
             "undo now",
         }) {
        std::optional<ScriptCommand> command;
        std::string error;
        EXPECT_FALSE(ScriptParser::parseLine(line, 1, command, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
        EXPECT_FALSE(command) << line;
    }
}

}  // namespace
