#pragma once

#include "gui/Control.h"

class StripSection;

// Dims the controls under it by drawing the section's own background over them: the place looks
// empty at full opacity and faded below it. Not hit by the pointer. [ui]
class BackgroundDimmer : public gui::Control {
public:
    BackgroundDimmer(gui::UserInterface* ui, const StripSection& section);

    void paint(gui::Canvas& canvas) override;

private:
    const StripSection& section_;
};
