#pragma once

#include "gui/ToggleButton.h"

// One half of the dry switch: the switch's pictures are wider than either half, and each half
// draws its own part of them, so that the two halves side by side read as one switch. Both halves
// edit the same parameter. [ui]
class DrySwitch : public gui::ToggleButton {
public:
    // part: where this half's left edge lies in the pictures.
    DrySwitch(gui::UserInterface* ui, const gui::Button::Style* style, int part, int width);

protected:
    void paintIcon(gui::Canvas& canvas, int level, int shift) override;
};
