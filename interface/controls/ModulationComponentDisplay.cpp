#include "interface/controls/ModulationComponentDisplay.h"

#include "gui/ControlBar.h"
#include "gui/DragManager.h"
#include "gui/ScrollArea.h"
#include "gui/ScrollButton.h"

ModulationComponentDisplay::ModulationComponentDisplay(gui::UserInterface* ui, gui::DragManager* dragManager,
                                                       TargetFilter* filter, const gui::Button::Style* leftStyle,
                                                       const gui::Button::Style* rightStyle)
    : ComponentDisplay(ui, leftStyle, rightStyle),
      dragManager_(dragManager),
      filter_(filter),
      scrollButtons_{&leftButton(), &rightButton()} {
    for (gui::Control* b : scrollButtons_) {
        link(b);
        // Hover-only and after every target, so that a source held at an end scrolls the row.
        if (dragManager_) dragManager_->addDragItem(b, true, true);
    }
    area().clickEvent.addHandler(this, &ModulationComponentDisplay::emptyAreaClicked);
    row().clickEvent.addHandler(this, &ModulationComponentDisplay::emptyAreaClicked);
}

ModulationComponentDisplay::~ModulationComponentDisplay() {
    for (gui::Control* b : scrollButtons_)
        if (b && dragManager_) dragManager_->removeDragItem(b);
}

void ModulationComponentDisplay::linkRemoved(gui::Component* component) {
    for (gui::Control*& b : scrollButtons_)
        if (component == b) {
            if (dragManager_) dragManager_->removeDragItem(b);
            b = nullptr;
        }
    ComponentDisplay::linkRemoved(component);
}

int ModulationComponentDisplay::addComponent(gui::Control* panel, int width, int firstTarget, int count) {
    const int i = ComponentDisplay::addComponent(panel, width);
    ranges_.resize(componentCount());
    ranges_[i] = {firstTarget, count};
    return i;
}

void ModulationComponentDisplay::componentStateChanged(int component, bool open) {
    if (!filter_ || component >= static_cast<int>(ranges_.size())) return;
    const Range r = ranges_[component];
    if (r.count <= 0) return;
    if (open)
        filter_->setTargetFilter(r.first, r.count);
    else if (filter_->isTargetFilter(r.first, r.count))
        filter_->clearFilter();
}

void ModulationComponentDisplay::emptyAreaClicked(void*) {
    if (filter_) filter_->clearFilter();
}
