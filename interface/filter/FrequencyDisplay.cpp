#include "interface/filter/FrequencyDisplay.h"

#include <cmath>

FrequencyDisplay::FrequencyDisplay(gui::UserInterface* ui) : gui::Control(ui) {}

float FrequencyDisplay::xForFrequency(float hz) const {
    return float(border) + (std::log2(hz) - low) * float(width() - 2 * border - 1) / (high - low);
}

void FrequencyDisplay::paint(gui::Canvas& canvas) {
    float decade = 10.0f;
    for (int k = 1; k <= 4; ++k, decade *= 10.0f)
        for (int n = 1; n <= 9; ++n) {
            const int x = int(std::lround(xForFrequency(float(n) * decade)));
            if (x >= 0 && x < width()) canvas.drawVLine(x, 0, height(), gridColour);
        }
}
