#pragma once

#include "interface/controls/ComponentButton.h"

namespace gui {
class DragManager;
}

// A component button that a dragged modulation source can hover: dwelling on it opens (or
// closes) its component, and the end of the drag closes again what the drag opened. [ui]
class ModulationComponentButton : public ComponentButton {
public:
    ModulationComponentButton(gui::UserInterface* ui, ParameterEditor& editor, ComponentDisplay* display,
                              int component, gui::DragManager* dragManager,
                              const gui::Button::Style* style = nullptr);
    ~ModulationComponentButton() override;

    void dragStateChanged(int state) override;

private:
    gui::DragManager* dragManager_;
    bool openAtDragStart_ = false;
};
