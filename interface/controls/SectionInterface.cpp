#include "interface/controls/SectionInterface.h"

#include "interface/ParameterEditor.h"
#include "interface/controls/ComponentDisplay.h"

SectionInterface::SectionInterface(gui::UserInterface* ui, ParameterEditor& editor)
    : gui::ControlBar(ui), editor_(&editor) {}

void SectionInterface::setComponent(ComponentDisplay* display, int component) {
    display_ = display;
    component_ = component;
}

void SectionInterface::close() {
    if (display_ && component_ >= 0) display_->toggleComponent(component_);
}

void SectionInterface::refresh() { editor_->refreshControls(); }
