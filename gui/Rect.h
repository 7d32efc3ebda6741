#pragma once

#include <algorithm>
#include <cstdint>

#include "gui/Point.h"

namespace gui {

// A rectangle with exclusive right and bottom edges; empty when it has no width or no height.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    static Rect ofSize(int32_t x, int32_t y, int32_t width, int32_t height) {
        return {x, y, x + width, y + height};
    }

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool isEmpty() const { return right - left <= 0 || bottom - top <= 0; }
    bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    Point topLeft() const { return {left, top}; }

    Rect movedBy(int32_t dx, int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }

    Rect intersection(const Rect& o) const {
        if (isEmpty() || o.isEmpty()) return {};
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        return r.isEmpty() ? Rect{} : r;
    }

    Rect united(const Rect& o) const {
        if (isEmpty()) return o;
        if (o.isEmpty()) return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace gui
