#pragma once

#include <cstdint>

namespace gui {

// A straight (not premultiplied) colour as drawing operations take it.
struct Rgba {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    friend bool operator==(const Rgba&, const Rgba&) = default;
};

}  // namespace gui
