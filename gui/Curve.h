#pragma once

#include <optional>
#include <vector>

#include "gui/Rgba.h"

namespace gui {

// A function y = f(x) that drawCurves plots column by column.
class Curve {
public:
    virtual ~Curve() = default;
    virtual float value(float x) const = 0;
};

// The cubic a + b x + c x^2 + d x^3 through two points with the given slopes there.
class Cubic : public Curve {
public:
    Cubic() = default;
    Cubic(float x1, float y1, float slope1, float x2, float y2, float slope2) {
        set(x1, y1, slope1, x2, y2, slope2);
    }

    void set(float x1, float y1, float slope1, float x2, float y2, float slope2);
    float value(float x) const override { return a + x * (b + x * (c + x * d)); }

    float a = 0, b = 0, c = 0, d = 0;
};

// A cubic between its two points, flat beyond them: the first point's y to the left, the second's
// to the right.
class CubicSegment : public Cubic {
public:
    CubicSegment() = default;
    CubicSegment(float x1, float y1, float slope1, float x2, float y2, float slope2)
        : Cubic(x1, y1, slope1, x2, y2, slope2), x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}

    float value(float x) const override {
        if (x <= x1_) return y1_;
        if (x >= x2_) return y2_;
        return Cubic::value(x);
    }

private:
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

// What drawCurves draws: entries composed in order over an optional base colour.
struct CurveSet {
    struct Entry {
        const Curve* curve = nullptr;
        Rgba fill{0, 0, 0, 0};
        Rgba line{0, 0, 0, 255};
        float thickness = 1.0f;
        // When set, the fill fades from its colour at the line to transparent at this y (x when
        // transposed) in the painting control's coordinates, usually the far edge of the curves'
        // rectangle. It is given here rather than taken from the rectangle because the rectangle
        // reaching the target is clipped to the part being repainted.
        std::optional<float> fadeEnd = std::nullopt;
    };
    Rgba base{0, 0, 0, 0};
    std::vector<Entry> entries;
};

}  // namespace gui
