#include "tools/lorimane-editor/ScriptRunner.h"

#include <strings.h>

#include <cstdio>
#include <functional>
#include <istream>
#include <map>
#include <ostream>

#include "gui/Button.h"
#include "gui/MultiLabel.h"
#include "gui/RootControl.h"
#include "gui/Text.h"
#include "gui/ValueControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "interface/GenericPluginInterface.h"
#include "streams/SettingSerializer.h"
#include "tools/lorimane-editor/EditorSession.h"
#include "tools/lorimane-render/RenderCommand.h"

using Kind = ScriptCommand::Kind;

namespace {

// Reads every value of a settings group as the group stores it, without changing any.
class SettingsSnapshot : public SettingSerializer {
public:
    bool isWriting() const override { return true; }
    void binaryValue(const std::string&, std::vector<std::uint8_t>&) override {}
    std::string stringValue(const std::string& name, const std::string& value, const std::string&) override {
        values[name] = value;
        return value;
    }
    std::map<std::string, std::string> values;
};

// Whether the control shows the text as its label.
bool labelled(const gui::Control& control, const std::string& name) {
    if (auto* button = dynamic_cast<const gui::Button*>(&control))
        return const_cast<gui::Button*>(button)->text().text.get() == name;
    if (auto* label = dynamic_cast<const gui::MultiLabel*>(&control)) {
        auto& l = const_cast<gui::MultiLabel&>(*label);
        for (int i = 0; i < l.segmentCount(); ++i)
            if (l.text(i).text.get() == name) return true;
    }
    return false;
}

const gui::Control* find(const gui::Control& control, const std::function<bool(const gui::Control&)>& match) {
    if (!control.visible.get()) return nullptr;
    if (match(control)) return &control;
    for (const gui::Control* child : control.children())
        if (const gui::Control* found = find(*child, match)) return found;
    return nullptr;
}

}  // namespace

const gui::Control* ScriptRunner::locate(const std::string& name) const {
    const gui::Control* root = session_.ui().getRootControl();
    if (!root) return nullptr;
    if (AbstractPluginParameter* p = findParameter(session_.plugin(), name)) {
        int index = -1;
        for (int i = 0; i < session_.plugin().getParameterCount(); ++i)
            if (session_.plugin().getParameter(i) == p) index = i;
        const gui::Control* bound = find(*root, [&](const gui::Control& c) {
            auto* value = dynamic_cast<const gui::ValueControl*>(&c);
            return value && value->parameterIndex.get() == index;
        });
        if (bound) return bound;
    }
    if (const gui::Control* byLabel = find(*root, [&](const gui::Control& c) { return labelled(c, name); }))
        return byLabel;
    return find(*root, [&](const gui::Control& c) { return c.hint.get().rfind(name, 0) == 0; });
}

int ScriptRunner::keyState(int modifiers) {
    session_.holdHostModifier((modifiers & ScriptCommand::Host) != 0);
    int state = 0;
    if (modifiers & ScriptCommand::Shift) state |= gui::native::KeyShift;
    if (modifiers & ScriptCommand::Ctrl) state |= gui::native::KeyCtrl;
    if (modifiers & ScriptCommand::Alt) state |= gui::native::KeyAlt;
    if (modifiers & ScriptCommand::Win) state |= gui::native::KeySystem;
    return state;
}

// A real pointer reaches a point before it presses there or turns the wheel.
void ScriptRunner::pointTo(gui::Point point, int state) {
    if (pointerKnown_ && pointer_ == point) return;
    session_.movePointer(point, state);
    pointer_ = point;
    pointerKnown_ = true;
}

bool ScriptRunner::run(const ScriptCommand& c, std::string& error) {
    auto fail = [&](const std::string& message) {
        error = message;
        return false;
    };
    failedLine_ = c.line;
    const std::vector<int>& n = c.numbers;
    const int state = keyState(c.modifiers);
    GenericPlugin& plugin = session_.plugin();
    switch (c.kind) {
        case Kind::Move:
            session_.movePointer({n[0], n[1]}, state);
            pointer_ = {n[0], n[1]};
            pointerKnown_ = true;
            break;
        case Kind::Press:
            pointTo({n[0], n[1]}, state);
            session_.pressButton({n[0], n[1]}, state);
            break;
        case Kind::Release:
            pointTo({n[0], n[1]}, state);
            session_.releaseButton({n[0], n[1]}, state);
            break;
        case Kind::Click:
        case Kind::DoubleClick:
            pointTo({n[0], n[1]}, state);
            for (int i = 0; i < (c.kind == Kind::Click ? 1 : 2); ++i) {
                session_.pressButton({n[0], n[1]}, state);
                session_.releaseButton({n[0], n[1]}, state);
            }
            break;
        case Kind::Drag: {
            const gui::Point from{n[0], n[1]}, to{n[2], n[3]};
            const int steps = n[4];
            pointTo(from, state);
            session_.pressButton(from, state);
            for (int i = 1; i <= steps; ++i) {
                session_.advance(static_cast<uint32_t>(n[5]));
                const gui::Point at{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
                session_.movePointer(at, state);
                pointer_ = at;
            }
            session_.releaseButton(to, state);
            break;
        }
        case Kind::Wheel:
        case Kind::HWheel: {
            const int notches = n[2];
            const int direction = notches < 0 ? -1 : 1;
            pointTo({n[0], n[1]}, state);
            for (int i = 0; i < notches * direction; ++i) {
                if (i > 0) session_.advance(static_cast<uint32_t>(n[3]));
                session_.turnWheel(direction, {n[0], n[1]}, state, c.kind == Kind::HWheel);
            }
            break;
        }
        case Kind::Key:
        case Kind::Type: {
            // Keys of the editor's own window belong to the host; only an open edit field hears them.
            gui::native::HeadlessEditField* field = session_.windows().editField();
            if (!field) break;
            if (c.kind == Kind::Type) {
                field->type(c.text);
            } else {
                int flags = 0;
                if (c.modifiers & ScriptCommand::Shift) flags |= 1;
                if (c.modifiers & ScriptCommand::Alt) flags |= 2;
                if (c.modifiers & ScriptCommand::Ctrl) flags |= 4;
                field->pressKey(n[0], flags);
            }
            session_.settle();
            break;
        }
        case Kind::Wait:
            session_.advance(static_cast<uint32_t>(n[0]));
            break;
        case Kind::Menu:
            session_.windows().answerMenu(c.text, c.line);
            break;
        case Kind::Box:
            session_.windows().answerBox(c.text == "ok");
            break;
        case Kind::File:
        case Kind::Folder: {
            std::optional<std::string> path;
            if (!c.text.empty()) path = c.text;
            if (c.kind == Kind::File)
                session_.windows().answerFile(path);
            else
                session_.windows().answerFolder(path);
            break;
        }
        case Kind::Set:
            if (!applySetting(plugin, c.text, error)) return false;
            session_.settle();
            break;
        case Kind::MidiCc:
            session_.sendMidi(0xB0, static_cast<uint8_t>(n[0]), static_cast<uint8_t>(n[1]));
            break;
        case Kind::MidiNote:
            session_.sendMidi(n[1] > 0 ? 0x90 : 0x80, static_cast<uint8_t>(n[0]), static_cast<uint8_t>(n[1]));
            break;
        case Kind::MidiProgram:
            session_.sendMidi(0xC0, static_cast<uint8_t>(n[0]), 0);
            break;
        case Kind::Print:
        case Kind::PrintNormal: {
            AbstractPluginParameter* p = findParameter(plugin, c.text);
            if (!p) return fail("unknown parameter '" + c.text + "'");
            if (c.kind == Kind::Print) {
                out_ << p->name() << " = " << p->plainToText(p->value()) << '\n';
            } else {
                char normal[32];
                std::snprintf(normal, sizeof normal, "%.6g", p->plainToNormalized(p->value()));
                out_ << p->name() << " = " << normal << '\n';
            }
            break;
        }
        case Kind::Locate: {
            const gui::Control* control = locate(c.text);
            if (!control) return fail("no control for '" + c.text + "'");
            const gui::Point at = control->toRoot({0, 0});
            out_ << c.text << " at " << at.x << ' ' << at.y << ' ' << control->width() << ' ' << control->height() << '\n';
            break;
        }
        case Kind::Size: {
            const gui::Control* root = session_.ui().getRootControl();
            out_ << "size " << (root ? root->width() : 0) << ' ' << (root ? root->height() : 0) << '\n';
            break;
        }
        case Kind::Hint:
            out_ << "hint: " << session_.editor().hintText() << '\n';
            break;
        case Kind::Setting: {
            SettingsSnapshot snapshot;
            if (GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings()) shared->serialize(snapshot);
            plugin.settings().serialize(snapshot);
            auto found = snapshot.values.find(c.text);
            if (found == snapshot.values.end())
                for (auto it = snapshot.values.begin(); it != snapshot.values.end() && found == snapshot.values.end(); ++it)
                    if (strcasecmp(it->first.c_str(), c.text.c_str()) == 0) found = it;
            if (found == snapshot.values.end()) return fail("unknown setting '" + c.text + "'");
            out_ << found->first << " = " << found->second << '\n';
            break;
        }
        case Kind::Undo: {
            UndoHistory* history = plugin.undoHistory();
            out_ << "undo " << (history ? history->undoCount() : 0) << " redo " << (history ? history->redoCount() : 0)
                 << '\n';
            break;
        }
        case Kind::Preset: {
            std::string name, path;
            bool modified = false;
            plugin.readPresetState(name, path, modified);
            out_ << "preset: " << name << (modified ? " [modified]" : "") << '\n';
            break;
        }
        case Kind::Shot:
            if (!session_.writeShot(c.text)) return fail("cannot write " + c.text);
            break;
    }
    // A menu answer that matched nothing is the fault of the line that wrote it.
    int line = 0;
    if (session_.windows().takeFailure(error, line)) {
        failedLine_ = line;
        return false;
    }
    return true;
}

int ScriptRunner::runScript(std::istream& in, std::ostream& err) {
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::optional<ScriptCommand> command;
        std::string error;
        if (!ScriptParser::parseLine(line, number, command, error) || (command && !run(*command, error))) {
            out_.flush();
            err << "lorimane-editor: line " << (command ? failedLine_ : number) << ": " << error << '\n';
            return 2;
        }
        out_.flush();
    }
    return 0;
}
