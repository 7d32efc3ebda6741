#pragma once

#include <optional>
#include <string>
#include <vector>

// One line of an editor script, checked and decoded. Coordinates are editor pixels.
struct ScriptCommand {
    enum class Kind {
        Press, Move, Release, Click, DoubleClick, Drag, Wheel, HWheel, Key, Type, Wait,
        Menu, Box, File, Folder,
        Set, MidiCc, MidiNote, MidiProgram,
        Print, PrintNormal, Locate, Size, Hint, Setting, Undo, Preset, Shot
    };
    // Modifier keys held during a mouse event or a key.
    enum Modifier { Shift = 1, Ctrl = 2, Alt = 4, Win = 8, Host = 16 };

    Kind kind = Kind::Wait;
    int line = 0;
    // In the order the command's syntax gives them: coordinates, steps, milliseconds, notches,
    // MIDI data, or the key code of `key`.
    std::vector<int> numbers;
    int modifiers = 0;
    // A name, menu path, path, key name or typed text; for the answers, empty means cancel.
    std::string text;
};

// Reads the script language, one command a line. [any]
class ScriptParser {
public:
    // False with a message for an unknown command or a bad argument; true with no command for an
    // empty line or a comment.
    static bool parseLine(const std::string& line, int number, std::optional<ScriptCommand>& command,
                          std::string& error);
    // The key code `key NAME` sends: the edit-field codes of Enter, Escape, Tab, Backspace, Delete,
    // the arrows, Home and End, or a single letter or digit. -1 when unknown.
    static int keyCode(const std::string& name);
};
