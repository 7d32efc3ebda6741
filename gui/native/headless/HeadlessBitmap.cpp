#include "gui/native/headless/HeadlessBitmap.h"

#include <algorithm>

namespace gui::native {

namespace {
uint32_t channel(uint32_t p, int shift) {
    return (p >> shift) & 0xFFu;
}

// Source over destination, both premultiplied with T = 255 - alpha, the source scaled by opacity.
uint32_t compose(uint32_t dst, uint32_t src, int opacity) {
    const int e = opacity + (opacity >> 7);
    const int srcT = 255 - ((255 - static_cast<int>(channel(src, 24))) * e >> 8);
    const int keep = srcT + (srcT >> 7);
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int s = static_cast<int>(channel(src, shift)) * e >> 8;
        const int d = static_cast<int>(channel(dst, shift)) * keep >> 8;
        out |= static_cast<uint32_t>(std::min(255, s + d)) << shift;
    }
    const int t = static_cast<int>(channel(dst, 24)) * keep >> 8;
    return out | static_cast<uint32_t>(std::min(255, t)) << 24;
}
}  // namespace

uint32_t HeadlessBitmap::premultiplied(Rgba c) {
    const int w = c.alpha + (c.alpha >> 7);
    const uint32_t b = (c.blue * w) >> 8, g = (c.green * w) >> 8, r = (c.red * w) >> 8;
    return b | g << 8 | r << 16 | static_cast<uint32_t>(255 - c.alpha) << 24;
}

Rgba HeadlessBitmap::colourAt(int x, int y) const {
    const uint32_t p = pixel(x, y);
    const int alpha = 255 - static_cast<int>(channel(p, 24));
    auto unmultiply = [alpha](uint32_t v) {
        if (alpha == 0) return 0;
        if (alpha == 255) return static_cast<int>(v);
        return std::min(255, static_cast<int>(v) * 255 / alpha);
    };
    return Rgba{static_cast<uint8_t>(unmultiply(channel(p, 16))),
                static_cast<uint8_t>(unmultiply(channel(p, 8))),
                static_cast<uint8_t>(unmultiply(channel(p, 0))), static_cast<uint8_t>(alpha)};
}

void HeadlessBitmap::setSize(int width, int height) {
    Bitmap::setSize(width, height);
    pixels_.assign(static_cast<size_t>(this->width()) * this->height(), 0);
}

void HeadlessBitmap::clear() {
    std::fill(pixels_.begin(), pixels_.end(), 0xFF000000u);
    requestUpdate();
}

bool HeadlessBitmap::load(const uint8_t*, size_t) {
    return false;
}

void HeadlessBitmap::copyFrom(const Bitmap& other) {
    setSize(other.width(), other.height());
    if (const auto* o = dynamic_cast<const HeadlessBitmap*>(&other)) pixels_ = o->pixels_;
}

void HeadlessBitmap::drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) {
    const auto* src = dynamic_cast<const HeadlessBitmap*>(&bitmap);
    if (!src || opacity <= 0) return;
    // Keep both rectangles inside their bitmaps.
    Rect d = destination.intersection(bounds());
    Point s{source.x + d.left - destination.left, source.y + d.top - destination.top};
    const Rect sr = Rect::ofSize(s.x, s.y, d.width(), d.height()).intersection(src->bounds());
    d = Rect::ofSize(d.left + sr.left - s.x, d.top + sr.top - s.y, sr.width(), sr.height());
    for (int y = 0; y < d.height(); ++y) {
        for (int x = 0; x < d.width(); ++x) {
            const uint32_t p = src->pixel(sr.left + x, sr.top + y);
            uint32_t& out = pixels_[static_cast<size_t>(d.top + y) * width() + d.left + x];
            out = (opacity >= 255 && (p >> 24) == 0) ? p : compose(out, p, opacity);
        }
    }
    requestUpdate();
}

void HeadlessBitmap::fillRect(const Rect& rect, Rgba colour) {
    const Rect r = rect.intersection(bounds());
    const uint32_t p = premultiplied(colour);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            uint32_t& out = pixels_[static_cast<size_t>(y) * width() + x];
            out = colour.alpha == 255 ? p : compose(out, p, 255);
        }
    requestUpdate();
}

}  // namespace gui::native
