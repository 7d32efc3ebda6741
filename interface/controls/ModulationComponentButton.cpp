#include "interface/controls/ModulationComponentButton.h"

#include "gui/DragManager.h"
#include "interface/controls/ComponentDisplay.h"

ModulationComponentButton::ModulationComponentButton(gui::UserInterface* ui, ParameterEditor& editor,
                                                     ComponentDisplay* display, int component,
                                                     gui::DragManager* dragManager, const gui::Button::Style* style)
    : ComponentButton(ui, editor, display, component, style), dragManager_(dragManager) {
    if (dragManager_) dragManager_->addDragItem(this, true, false);
}

ModulationComponentButton::~ModulationComponentButton() {
    if (dragManager_) dragManager_->removeDragItem(this);
}

void ModulationComponentButton::dragStateChanged(int state) {
    const bool hasComponent = display() && component() >= 0;
    switch (state) {
    case DragStarted:
        openAtDragStart_ = isComponentOpen();
        break;
    case DragDwelled:
        if (hasComponent)
            display()->toggleComponent(component());
        else
            ComponentButton::dragStateChanged(state);  // a click
        break;
    case DragEnded:
        if (hasComponent && isComponentOpen() != openAtDragStart_) display()->toggleComponent(component());
        break;
    default:
        ComponentButton::dragStateChanged(state);
    }
}
