#pragma once

#include <cstdint>
#include <vector>

#include "gui/Bitmap.h"

namespace gui::native {

// A bitmap in memory: 32-bit pixels B, G, R, T (T = 255 - alpha) with premultiplied colours.
// It composes with plain per-pixel arithmetic; it decodes no image format of its own (load
// answers false), so tests that need pictures supply a subclass.
class HeadlessBitmap : public Bitmap {
public:
    void setSize(int width, int height) override;
    bool load(const uint8_t* data, size_t size) override;
    void copyFrom(const Bitmap& other) override;

    void drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) override;
    void fillRect(const Rect& rect, Rgba colour) override;

    // Every pixel transparent.
    void clear();

    uint32_t pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width() + x]; }
    void setPixel(int x, int y, uint32_t value) { pixels_[static_cast<size_t>(y) * width() + x] = value; }
    // The pixel as a straight colour.
    Rgba colourAt(int x, int y) const;
    const std::vector<uint32_t>& pixels() const { return pixels_; }

    static uint32_t premultiplied(Rgba colour);

private:
    std::vector<uint32_t> pixels_;
};

}  // namespace gui::native
