#include "tools/artgen/Painter.h"

#include <algorithm>
#include <cmath>

#include "gui/Text.h"

namespace {

constexpr int kSamples = 4;
constexpr float kPi = 3.14159265358979f;

float segmentDistance(float px, float py, float x1, float y1, float x2, float y2) {
    const float vx = x2 - x1, vy = y2 - y1, len2 = vx * vx + vy * vy;
    const float t = len2 > 0 ? std::clamp(((px - x1) * vx + (py - y1) * vy) / len2, 0.0f, 1.0f) : 0.0f;
    const float ex = px - x1 - t * vx, ey = py - y1 - t * vy;
    return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

gui::Rgba Painter::mix(gui::Rgba a, gui::Rgba b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return {m(a.red, b.red), m(a.green, b.green), m(a.blue, b.blue), m(a.alpha, b.alpha)};
}

Painter::Shade Painter::vertical(float y0, float y1, gui::Rgba top, gui::Rgba bottom) {
    return [=](float, float y) { return mix(top, bottom, y1 > y0 ? (y - y0) / (y1 - y0) : 0.0f); };
}

void Painter::cover(float x0, float y0, float x1, float y1, const Inside& inside, const Shade& shade) {
    const int left = std::max(0, static_cast<int>(std::floor(x0))),
              top = std::max(0, static_cast<int>(std::floor(y0)));
    const int right = std::min(bitmap_.width(), static_cast<int>(std::ceil(x1)));
    const int bottom = std::min(bitmap_.height(), static_cast<int>(std::ceil(y1)));
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            int hits = 0;
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i)
                    hits += inside(x + (i + 0.5f) / kSamples, y + (j + 0.5f) / kSamples) ? 1 : 0;
            if (hits == 0) continue;
            gui::Rgba c = shade(x + 0.5f, y + 0.5f);
            c.alpha = static_cast<uint8_t>(c.alpha * hits / (kSamples * kSamples));
            bitmap_.blendPixel({x, y}, c);
        }
}

void Painter::cover(float x0, float y0, float x1, float y1, const Inside& inside, gui::Rgba colour) {
    cover(x0, y0, x1, y1, inside, [colour](float, float) { return colour; });
}

void Painter::rect(float x, float y, float w, float h, gui::Rgba colour) {
    cover(
        x, y, x + w, y + h,
        [=](float px, float py) { return px >= x && px < x + w && py >= y && py < y + h; }, colour);
}

void Painter::roundRect(float x, float y, float w, float h, float r, const Shade& shade) {
    cover(
        x, y, x + w, y + h,
        [=](float px, float py) {
            if (px < x || px >= x + w || py < y || py >= y + h) return false;
            const float dx = std::max({x + r - px, 0.0f, px - (x + w - r)});
            const float dy = std::max({y + r - py, 0.0f, py - (y + h - r)});
            return dx * dx + dy * dy <= r * r;
        },
        shade);
}

void Painter::disc(float cx, float cy, float r, const Shade& shade) {
    cover(
        cx - r, cy - r, cx + r, cy + r,
        [=](float px, float py) { return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r; }, shade);
}

void Painter::ring(float cx, float cy, float r, float t, gui::Rgba colour) {
    arc(cx, cy, r, t, 0, 360, colour);
}

void Painter::arc(float cx, float cy, float r, float t, float from, float to, gui::Rgba colour) {
    cover(
        cx - r, cy - r, cx + r, cy + r,
        [=](float px, float py) {
            const float d2 = (px - cx) * (px - cx) + (py - cy) * (py - cy);
            if (d2 > r * r || d2 < (r - t) * (r - t)) return false;
            if (to - from >= 360) return true;
            float a = std::atan2(px - cx, cy - py) * 180 / kPi;
            if (a < 0) a += 360;
            return from <= to ? a >= from && a <= to : a >= from || a <= to;
        },
        colour);
}

void Painter::line(float x1, float y1, float x2, float y2, float t, gui::Rgba colour) {
    const float h = t / 2;
    cover(
        std::min(x1, x2) - h, std::min(y1, y2) - h, std::max(x1, x2) + h, std::max(y1, y2) + h,
        [=](float px, float py) { return segmentDistance(px, py, x1, y1, x2, y2) <= h; }, colour);
}

void Painter::triangle(float x1, float y1, float x2, float y2, float x3, float y3, gui::Rgba colour) {
    auto side = [](float ax, float ay, float bx, float by, float px, float py) {
        return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    };
    cover(
        std::min({x1, x2, x3}), std::min({y1, y2, y3}), std::max({x1, x2, x3}), std::max({y1, y2, y3}),
        [=](float px, float py) {
            const float a = side(x1, y1, x2, y2, px, py), b = side(x2, y2, x3, y3, px, py),
                        c = side(x3, y3, x1, y1, px, py);
            return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
        },
        colour);
}

void Painter::text(float x, float y, int size, bool bold, gui::Rgba colour, const std::string& string) {
    gui::Text t;
    t.text = string;
    t.size = size;
    t.bold = bold;
    t.colour = colour;
    const int left = x < 0 ? (bitmap_.width() - t.getWidth()) / 2 : static_cast<int>(x);
    bitmap_.canvas().drawText(t, {left, static_cast<int>(y)});
}
