#pragma once

#include "interface/MidiLearnController.h"

class FilterController;

// A MIDI learn target at the filter display's link point for a parameter that moves both filters
// (their frequencies or their peaks) while keeping their spread. [ui]
class FilterLinkGhost : public MidiLearnController::GhostControl {
public:
    // side: -1 the label left of the link point, 1 right of it.
    FilterLinkGhost(const FilterController& display, int parameterNumber, int side);

    gui::Rect labelRect() const override;
    int parameterNumber() const override { return parameterNumber_; }

private:
    const FilterController& display_;
    int parameterNumber_;
    int side_;
};
