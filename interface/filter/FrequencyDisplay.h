#pragma once

#include <bit>
#include <cstdint>

#include "gui/Control.h"
#include "gui/Rgba.h"

// A plot with a logarithmic frequency axis and its grid: a line at every n x 10^k Hz from 10 Hz
// to 90 kHz. Derived displays draw on top of the grid. [ui]
class FrequencyDisplay : public gui::Control {
public:
    explicit FrequencyDisplay(gui::UserInterface* ui);

    // Inset of the plot on all sides, in pixels.
    int border = 0;
    gui::Rgba gridColour{128, 128, 128, 128};
    // The axis ends in log2 Hz: the range of the filters' cut-off (about 4.81 Hz to 75.7 kHz).
    float low = std::bit_cast<float>(std::uint32_t(0x40110FF9));
    float high = std::bit_cast<float>(std::uint32_t(0x4181A6B5));

    // The pixel column of a frequency in Hz.
    float xForFrequency(float hz) const;

    void paint(gui::Canvas& canvas) override;
};
