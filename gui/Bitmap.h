#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/Canvas.h"
#include "gui/UpdatedObject.h"

namespace gui {

// A picture of 32-bit pixels and the software rasterizer that composes into it. A pixel holds the
// bytes blue, green, red and T = 255 - alpha, colours premultiplied by alpha: a zero-filled bitmap
// is opaque black, a transparent pixel is 0, 0, 0, 255. Colours handed to drawing operations are
// straight RGBA and converted on use. The thread that paints (see Canvas).
class Bitmap : public UpdatedObject, public Canvas::Owner {
public:
    Bitmap() : canvas_(this) {}
    ~Bitmap() override;

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }

    // Some pixel is not opaque: drawing this bitmap blends instead of copying. Operations that may
    // leave transparent pixels set it; it is only cleared when every pixel is known to be opaque.
    Property<bool> hasAlpha{nullptr, false};

    // Reallocates, opaque black. The canvas clip follows the new size.
    virtual void setSize(int width, int height);
    // Decodes image data through the registered filers; throws EBitmap with the filer's message, or
    // "Unknown file format" when no filer knows the data. On failure the bitmap is unchanged.
    void load(std::istream& stream);
    // The same without the exception: false (and the bitmap unchanged) when the data is no image.
    virtual bool load(const uint8_t* data, size_t size);
    virtual void copyFrom(const Bitmap& other);
    // Every pixel transparent.
    void clear();
    // Recolours a coverage mask drawn black on white: coverage becomes the colour's alpha.
    void tint(Rgba colour);
    // This bitmap becomes A and B cross-faded by level (0 A, 255 B), over the rectangle only when
    // one is given (the bitmap must then already have A's size).
    void blend(const Bitmap& a, const Bitmap& b, int level, const Rect* rect = nullptr);
    enum MirrorFlags { Horizontal = 1, Vertical = 2 };
    void mirrorFrom(const Bitmap& source, int flags);
    // This bitmap shows the source turned clockwise by the angle (radians) about both centres,
    // sampled bilinearly; what falls outside the source is transparent.
    void drawRotated(const Bitmap& source, float angle);
    // One row from straight RGBA bytes (4 per pixel).
    void setRow(int row, const uint8_t* rgba);

    uint32_t pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void setPixel(int x, int y, uint32_t value);
    const std::vector<uint32_t>& pixels() const { return pixels_; }
    uint32_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint32_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }

    Canvas& canvas() { return canvas_; }

    // Canvas::Owner: the software target.
    void drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) override;
    void drawBlend(const Bitmap& a, const Rect& destination, Point sourceA, const Bitmap& b, Point sourceB,
                   int mix, int opacity) override;
    void drawLine(float x1, float y1, float x2, float y2, Rgba colour, float thickness,
                  const Rect& clip) override;
    void drawCurves(const CurveSet& curves, const Rect& rect, Point origin, bool transposed,
                    int opacity) override;
    void fillRect(const Rect& rect, Rgba colour) override;
    // The straight colour: premultiplied channels times 255 / alpha.
    Rgba getPixel(Point point) const override;
    void blendPixel(Point point, Rgba colour) override;

    // Fired by the update after the pixels changed, so that controls showing the bitmap repaint.
    NotifyEvent changeEvent;

    // Pixel arithmetic, public so that the vector loops can be checked against the plain ones.
    static uint32_t premultiplied(Rgba colour);
    // dst = src composed over dst with opacity 1..255 (255: plain "over").
    static void composeRowPlain(uint32_t* dst, const uint32_t* src, int count, int opacity);
    static void composeRowSse2(uint32_t* dst, const uint32_t* src, int count, int opacity);
    // dst = a and b cross-faded by mix 0..255.
    static void crossFadeRowPlain(uint32_t* dst, const uint32_t* a, const uint32_t* b, int count, int mix);
    static void crossFadeRowSse2(uint32_t* dst, const uint32_t* a, const uint32_t* b, int count, int mix);

protected:
    void update() override;
    virtual void freePixels();
    virtual void allocatePixels();
    // Nothing for a software bitmap; a texture-backed one marks the region for upload.
    virtual void pixelsChanged(const Rect&) {}

private:
    // Takes over the other bitmap's size and pixels (the other is left empty).
    void adopt(Bitmap& other);
    void composePixel(uint32_t& out, uint32_t source, int opacity);

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    Canvas canvas_;
};

}  // namespace gui
