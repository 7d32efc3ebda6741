#pragma once

#include <cstdint>

namespace gui {

// A position in some control's coordinates (origin at its top-left corner).
struct Point {
    int32_t x = 0;
    int32_t y = 0;

    friend bool operator==(const Point&, const Point&) = default;
    Point operator+(const Point& o) const { return {x + o.x, y + o.y}; }
    Point operator-(const Point& o) const { return {x - o.x, y - o.y}; }
};

}  // namespace gui
