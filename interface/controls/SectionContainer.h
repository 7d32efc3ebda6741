#pragma once

#include "gui/Control.h"
#include "gui/Rgba.h"

namespace gui {
class Bitmap;
}

// The frame of one panel in a component display's row: a background (an image stretched by its
// caps, or a colour) with the panel inset by the margin. [ui]
class SectionContainer : public gui::Control {
public:
    SectionContainer(gui::UserInterface* ui, gui::Control* panel, int margin = 4);

    // Not owned.
    const gui::Bitmap* background = nullptr;
    gui::Rgba backgroundColour{38, 43, 51, 255};
    gui::Rgba edgeColour{20, 23, 28, 255};

    gui::Control* panel() const { return panel_; }
    void linkRemoved(gui::Component* component) override;
    void resized() override;
    void paint(gui::Canvas& canvas) override;

private:
    gui::Control* panel_;
    int margin_;
};
