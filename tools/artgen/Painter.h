#pragma once

#include <functional>
#include <string>

#include "gui/Bitmap.h"

// Anti-aliased shapes for the artwork: each pixel is covered by 4 x 4 samples of an inside test
// and composed with the colour at that pixel. Geometry in pixels, pixel centres at +0.5.
class Painter {
public:
    using Inside = std::function<bool(float x, float y)>;
    using Shade = std::function<gui::Rgba(float x, float y)>;

    explicit Painter(gui::Bitmap& bitmap) : bitmap_(bitmap) {}

    void cover(float x0, float y0, float x1, float y1, const Inside& inside, const Shade& shade);
    void cover(float x0, float y0, float x1, float y1, const Inside& inside, gui::Rgba colour);

    void rect(float x, float y, float w, float h, gui::Rgba colour);
    void roundRect(float x, float y, float w, float h, float radius, const Shade& shade);
    void disc(float cx, float cy, float r, const Shade& shade);
    void ring(float cx, float cy, float r, float thickness, gui::Rgba colour);
    // Degrees clockwise from 12 o'clock.
    void arc(float cx, float cy, float r, float thickness, float from, float to, gui::Rgba colour);
    void line(float x1, float y1, float x2, float y2, float thickness, gui::Rgba colour);
    void triangle(float x1, float y1, float x2, float y2, float x3, float y3, gui::Rgba colour);
    // x < 0 centres the text horizontally; y is its top.
    void text(float x, float y, int size, bool bold, gui::Rgba colour, const std::string& text);

    // A vertical gradient between two colours over y0..y1.
    static Shade vertical(float y0, float y1, gui::Rgba top, gui::Rgba bottom);
    static gui::Rgba mix(gui::Rgba a, gui::Rgba b, float t);

private:
    gui::Bitmap& bitmap_;
};
