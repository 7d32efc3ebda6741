#include "interface/controls/SectionContainer.h"

#include "gui/Bitmap.h"

SectionContainer::SectionContainer(gui::UserInterface* ui, gui::Control* panel, int margin)
    : gui::Control(ui), panel_(panel), margin_(margin) {
    if (panel_) {
        panel_->parent = this;
        link(panel_);
    }
}

void SectionContainer::linkRemoved(gui::Component* component) {
    if (component == panel_) panel_ = nullptr;
    gui::Control::linkRemoved(component);
}

void SectionContainer::resized() {
    gui::Control::resized();
    if (panel_) panel_->setBounds(margin_, margin_, width() - 2 * margin_, height() - 2 * margin_);
}

void SectionContainer::paint(gui::Canvas& canvas) {
    if (background) {
        canvas.drawStretched(*background, background->bounds(), localRect(), 255, margin_);
        return;
    }
    canvas.fillRect(localRect(), backgroundColour);
    canvas.drawVLine(width() - 1, 0, height(), edgeColour);
}
