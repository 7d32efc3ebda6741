#pragma once

#include <cstdint>
#include <unordered_map>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"

namespace gui {

class GlContext;

// The canvas target of the accelerated renderer: draws the toolkit's primitives with OpenGL 1.3 so
// that the picture matches the software composition. Textures hold the bitmaps' bytes as they are
// (blue, green, red, 255 - alpha); the texture stage turns the fourth byte into alpha and scales by
// the opacity, and the blend (1, 1 - source alpha) composes premultiplied colour the software way.
// Lines, curves and cross-fades are rasterized by the software code into a scratch bitmap and
// composed from there, so their coverage is the software's own. Render thread, context current.
class GlRenderer : public Canvas::Owner {
public:
    GlRenderer() = default;
    ~GlRenderer() override;

    // The context set-up, once, with the context current.
    bool initialise(GlContext& context);
    // Viewport and projection over width x height with y growing downwards; deletes the textures of
    // bitmaps not drawn for a while; clears the colour buffer.
    void beginFrame(int width, int height);
    void endFrame();
    // The frame buffer as opaque pixels.
    void readPixels(Bitmap& out) const;
    // Deletes every texture; the context must be current.
    void releaseTextures();
    size_t textureCount() const { return textures_.size(); }

    void drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) override;
    void drawBlend(const Bitmap& a, const Rect& destination, Point sourceA, const Bitmap& b, Point sourceB, int mix,
                   int opacity) override;
    void drawLine(float x1, float y1, float x2, float y2, Rgba colour, float thickness, const Rect& clip) override;
    void drawCurves(const CurveSet& curves, const Rect& rect, Point origin, bool transposed, int opacity) override;
    void fillRect(const Rect& rect, Rgba colour) override;
    Rgba getPixel(Point point) const override;
    void blendPixel(Point point, Rgba colour) override;

    // Frames a texture may go unused before it is deleted (its bitmap may be gone).
    static constexpr int kTextureIdleFrames = 120;

private:
    struct Texture {
        unsigned id = 0;
        int width = 0;
        int height = 0;
        uint64_t contentHash = 0;
        int lastFrame = 0;
    };
    // The bitmap's texture, uploaded when its pixels changed since it was last drawn.
    unsigned textureFor(const Bitmap& bitmap);
    void drawTexture(unsigned texture, int textureWidth, int textureHeight, const Rect& destination, Point source,
                     int opacity, bool blend);
    // Composes the scratch bitmap over the frame with its top-left corner at the point.
    void drawScratch(Point at, int opacity);

    std::unordered_map<const Bitmap*, Texture> textures_;
    int frame_ = 0;
    int height_ = 0;
    Bitmap scratch_;
    unsigned scratchTexture_ = 0;
    int scratchTextureWidth_ = 0;
    int scratchTextureHeight_ = 0;
};

}  // namespace gui
