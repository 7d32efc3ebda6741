#pragma once

#include <iosfwd>
#include <string>

#include "gui/Point.h"
#include "tools/lorimane-editor/ScriptParser.h"

class EditorSession;

namespace gui {
class Control;
}

// Runs editor scripts against a session: input goes to the editor's window, answers to the
// scripted window system, queries print to out. [ui]
class ScriptRunner {
public:
    ScriptRunner(EditorSession& session, std::ostream& out) : session_(session), out_(out) {}

    // False with a message when an argument names nothing there is (a parameter, a control, a
    // setting) or a file cannot be written.
    bool run(const ScriptCommand& command, std::string& error);
    // The line a failed run blames: its own, or the earlier `menu` line whose answer named no item.
    int failedLine() const { return failedLine_; }
    // Reads and runs the script line by line. Answers 0, or 2 after the first bad line, with its
    // number and the reason on err.
    int runScript(std::istream& in, std::ostream& err);

    // The control a script's `locate NAME` finds under the root: the value control bound to the
    // parameter of that name, else a control whose label is the name or whose hint starts with it.
    // Only visible controls count. Null when there is none.
    const gui::Control* locate(const std::string& name) const;

private:
    int keyState(int modifiers);
    void pointTo(gui::Point point, int keyState);

    EditorSession& session_;
    std::ostream& out_;
    bool pointerKnown_ = false;
    gui::Point pointer_;
    int failedLine_ = 0;
};
