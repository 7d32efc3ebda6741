#pragma once

#include "gui/ControlBar.h"

class ComponentDisplay;
class ParameterEditor;

// A panel of a component display: it knows its display and component, so that it can close
// itself, and it rereads its controls when it opens. [ui]
class SectionInterface : public gui::ControlBar {
public:
    SectionInterface(gui::UserInterface* ui, ParameterEditor& editor);

    // Set when the panel is added to the display.
    void setComponent(ComponentDisplay* display, int component);
    ComponentDisplay* display() const { return display_; }
    int component() const { return component_; }
    ParameterEditor& editor() const { return *editor_; }

    // Toggles the panel's component (it is open while the panel shows).
    virtual void close();
    // Called before the panel opens; by default the editor refreshes its bound controls.
    virtual void refresh();

private:
    ParameterEditor* editor_;
    ComponentDisplay* display_ = nullptr;
    int component_ = -1;
};
