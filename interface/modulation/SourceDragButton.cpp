#include "interface/modulation/SourceDragButton.h"

#include <memory>

#include "gui/DragStage.h"
#include "interface/modulation/ModulationDragObject.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"
#include "interface/modulation/SourceController.h"
#include "interface/modulation/SourceInterface.h"

SourceDragButton::SourceDragButton(gui::UserInterface* ui, SourceInterface& owner, int index,
                                   const gui::Button::Style* style)
    : gui::Button(ui, style), owner_(owner), index_(index) {
    hint = kHint;
    doubleClickEnabled = false;
}

int SourceDragButton::source() const {
    return owner_.firstSource() + index_;
}

void SourceDragButton::mouseDown(int button, gui::Point point, int flags) {
    gui::Button::mouseDown(button, point, flags);
    if (button != 0) return;
    press_ = point;
    owner_.controller().editor().dragManager().startDrag(this, std::make_unique<ModulationDragObject>(source()), flags);
}
