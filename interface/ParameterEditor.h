#pragma once

#include <string>

class AbstractPluginParameter;

namespace gui {
class ValueControl;
}

// What the editor's controls ask of the editor frame: parameters by index, edit gestures, bindings
// and the editor-wide states that change how a control reacts. The frame implements it; controls
// that edit parameters (parameter buttons, the filter display, the source editors) know only this.
// [ui]
class ParameterEditor {
public:
    virtual ~ParameterEditor() = default;

    // Null for an index out of range.
    virtual AbstractPluginParameter* parameter(int index) const = 0;

    // One edit of one parameter: begin before the first change, end after the last. The frame
    // tells the host (touch and release) and records one undo step when a gesture ends with the
    // plug-in's state changed.
    virtual void beginEdit(int index) = 0;
    virtual void setNormalized(int index, float normalized) = 0;
    virtual void endEdit(int index) = 0;

    // A value control shows and edits the parameter (its value follows every change, from any
    // source); unbind before the control goes away.
    virtual void bindControl(int index, gui::ValueControl* control) = 0;
    virtual void unbindControl(int index, gui::ValueControl* control) = 0;

    // Shows the current value of every bound control.
    virtual void refreshControls() = 0;

    // While MIDI learn is active a click chooses a learn target instead of editing.
    virtual bool midiLearnActive() const = 0;
    // The editor-wide hint: text in the help hint window (empty hides it), shown when hints are on.
    virtual void showHint(const std::string& text) = 0;
};
