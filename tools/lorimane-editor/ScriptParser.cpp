#include "tools/lorimane-editor/ScriptParser.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

using Kind = ScriptCommand::Kind;

// How the arguments after the command word are read.
enum class Shape {
    Point,       // X Y [MODS]
    Drag,        // X1 Y1 X2 Y2 STEPS MS [MODS]
    Wheel,       // X Y NOTCHES MS [MODS]
    Key,         // NAME [MODS]
    Milliseconds,
    Text,        // the rest of the line, not empty
    Answer,      // ok|cancel
    PathAnswer,  // PATH|cancel
    Assignment,  // NAME=TEXT
    Midi,        // cc N VALUE | note N VELOCITY | program N
    None,
};

struct Syntax {
    Kind kind;
    Shape shape;
};

const std::map<std::string, Syntax>& commands() {
    static const std::map<std::string, Syntax> table = {
        {"press", {Kind::Press, Shape::Point}},
        {"move", {Kind::Move, Shape::Point}},
        {"release", {Kind::Release, Shape::Point}},
        {"click", {Kind::Click, Shape::Point}},
        {"double-click", {Kind::DoubleClick, Shape::Point}},
        {"drag", {Kind::Drag, Shape::Drag}},
        {"wheel", {Kind::Wheel, Shape::Wheel}},
        {"hwheel", {Kind::HWheel, Shape::Wheel}},
        {"key", {Kind::Key, Shape::Key}},
        {"type", {Kind::Type, Shape::Text}},
        {"wait", {Kind::Wait, Shape::Milliseconds}},
        {"menu", {Kind::Menu, Shape::Text}},
        {"box", {Kind::Box, Shape::Answer}},
        {"file", {Kind::File, Shape::PathAnswer}},
        {"folder", {Kind::Folder, Shape::PathAnswer}},
        {"set", {Kind::Set, Shape::Assignment}},
        {"midi", {Kind::MidiCc, Shape::Midi}},
        {"print", {Kind::Print, Shape::Text}},
        {"print-normal", {Kind::PrintNormal, Shape::Text}},
        {"locate", {Kind::Locate, Shape::Text}},
        {"size", {Kind::Size, Shape::None}},
        {"hint", {Kind::Hint, Shape::None}},
        {"setting", {Kind::Setting, Shape::Text}},
        {"undo", {Kind::Undo, Shape::None}},
        {"preset", {Kind::Preset, Shape::None}},
        {"shot", {Kind::Shot, Shape::Text}},
    };
    return table;
}

std::string trim(const std::string& s) {
    size_t begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    size_t end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

bool integer(const std::string& text, long minimum, long maximum, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || v < minimum || v > maximum) return false;
    value = static_cast<int>(v);
    return true;
}

bool modifiers(const std::string& text, int& mods) {
    static const std::map<std::string, int> names = {{"shift", ScriptCommand::Shift}, {"ctrl", ScriptCommand::Ctrl},
                                                     {"alt", ScriptCommand::Alt},     {"win", ScriptCommand::Win},
                                                     {"host", ScriptCommand::Host}};
    mods = 0;
    std::stringstream parts(text);
    std::string part;
    int count = 0;
    while (std::getline(parts, part, '+')) {
        auto found = names.find(part);
        if (found == names.end()) return false;
        mods |= found->second;
        ++count;
    }
    return count > 0 && text.back() != '+';
}

}  // namespace

int ScriptParser::keyCode(const std::string& name) {
    static const std::map<std::string, int> keys = {
        {"Backspace", 8}, {"Tab", 9},   {"Enter", 13}, {"Return", 13}, {"Escape", 27}, {"End", 35},
        {"Home", 36},     {"Left", 37}, {"Up", 38},    {"Right", 39},  {"Down", 40},   {"Delete", 46}};
    auto found = keys.find(name);
    if (found != keys.end()) return found->second;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    return -1;
}

bool ScriptParser::parseLine(const std::string& raw, int number, std::optional<ScriptCommand>& command,
                             std::string& error) {
    command.reset();
    const std::string line = trim(raw);
    if (line.empty() || line[0] == '#') return true;

    const size_t space = line.find_first_of(" \t");
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : trim(line.substr(space));
    std::vector<std::string> args;
    {
        std::istringstream in(rest);
        for (std::string a; in >> a;) args.push_back(a);
    }
    auto fail = [&](const std::string& message) {
        error = message;
        return false;
    };
    auto found = commands().find(word);
    if (found == commands().end()) return fail("unknown command '" + word + "'");

    ScriptCommand c;
    c.kind = found->second.kind;
    c.line = number;
    const std::string usage = "'" + word + "': ";
    // Reads count numbers, then optional modifiers.
    auto numbersThenMods = [&](size_t count, const char* syntax) {
        if (args.size() != count && args.size() != count + 1) return fail(usage + "expected " + syntax);
        for (size_t i = 0; i < count; ++i) {
            int v;
            if (!integer(args[i], -100000, 100000, v)) return fail(usage + "'" + args[i] + "' is not a whole number");
            c.numbers.push_back(v);
        }
        if (args.size() == count + 1 && !modifiers(args[count], c.modifiers))
            return fail(usage + "'" + args[count] + "' is not a +-joined list of shift, ctrl, alt, win, host");
        return true;
    };

    switch (found->second.shape) {
        case Shape::Point:
            if (!numbersThenMods(2, "X Y [MODS]")) return false;
            break;
        case Shape::Drag:
            if (!numbersThenMods(6, "X1 Y1 X2 Y2 STEPS MS [MODS]")) return false;
            if (c.numbers[4] < 1) return fail(usage + "STEPS must be at least 1");
            if (c.numbers[5] < 0) return fail(usage + "MS must not be negative");
            break;
        case Shape::Wheel:
            if (!numbersThenMods(4, "X Y NOTCHES MS [MODS]")) return false;
            if (c.numbers[3] < 0) return fail(usage + "MS must not be negative");
            break;
        case Shape::Key: {
            if (args.empty() || args.size() > 2) return fail(usage + "expected NAME [MODS]");
            int code = keyCode(args[0]);
            if (code < 0) return fail(usage + "unknown key '" + args[0] + "'");
            c.text = args[0];
            c.numbers.push_back(code);
            if (args.size() == 2 && !modifiers(args[1], c.modifiers))
                return fail(usage + "'" + args[1] + "' is not a +-joined list of shift, ctrl, alt, win, host");
            break;
        }
        case Shape::Milliseconds: {
            int v;
            if (args.size() != 1 || !integer(args[0], 0, INT_MAX, v)) return fail(usage + "expected MS, a whole number of milliseconds");
            c.numbers.push_back(v);
            break;
        }
        case Shape::Text:
            if (rest.empty()) return fail(usage + "expected a text after the command");
            c.text = rest;
            if (c.kind == Kind::Menu && rest == "cancel") c.text.clear();
            break;
        case Shape::Answer:
            if (args.size() != 1 || (args[0] != "ok" && args[0] != "cancel")) return fail(usage + "expected ok or cancel");
            c.text = args[0] == "ok" ? "ok" : "";
            break;
        case Shape::PathAnswer:
            if (rest.empty()) return fail(usage + "expected PATH or cancel");
            c.text = rest == "cancel" ? std::string() : rest;
            break;
        case Shape::Assignment: {
            const size_t eq = rest.find('=');
            if (eq == std::string::npos || eq == 0) return fail(usage + "expected NAME=TEXT");
            c.text = rest;
            break;
        }
        case Shape::Midi: {
            static const std::map<std::string, std::pair<Kind, size_t>> kinds = {
                {"cc", {Kind::MidiCc, 2}}, {"note", {Kind::MidiNote, 2}}, {"program", {Kind::MidiProgram, 1}}};
            auto kind = args.empty() ? kinds.end() : kinds.find(args[0]);
            if (kind == kinds.end()) return fail(usage + "expected cc N VALUE, note N VELOCITY or program N");
            c.kind = kind->second.first;
            if (args.size() != kind->second.second + 1) return fail(usage + "wrong number of values for " + args[0]);
            for (size_t i = 1; i < args.size(); ++i) {
                int v;
                if (!integer(args[i], 0, 127, v)) return fail(usage + "'" + args[i] + "' is not a MIDI value 0 to 127");
                c.numbers.push_back(v);
            }
            break;
        }
        case Shape::None:
            if (!args.empty()) return fail(usage + "takes no arguments");
            break;
    }
    command = std::move(c);
    return true;
}
