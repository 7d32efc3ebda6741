#include "gui/gl/GlRenderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

#include "gui/gl/GlContext.h"

namespace gui {

namespace {

// Tells a changed bitmap (or another one at the same address) from the picture already in its
// texture. Every drawn bitmap is hashed on every draw, so the hash runs through the pixels eight
// bytes at a time (the library's byte hash) rather than one pixel per multiply.
uint64_t hashPixels(const Bitmap& bitmap) {
    const std::vector<uint32_t>& pixels = bitmap.pixels();
    const std::string_view bytes(reinterpret_cast<const char*>(pixels.data()), pixels.size() * sizeof(uint32_t));
    const uint64_t h = std::hash<std::string_view>{}(bytes) ^ (static_cast<uint64_t>(bitmap.width()) << 32) ^
                       static_cast<uint64_t>(bitmap.height()) * 1099511628211ull;
    return h ^ (bitmap.hasAlpha.get() ? 1u : 0u);
}

void setTextureStage() {
    // colour = texel x opacity; alpha = (1 - fourth byte) x opacity.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_ALPHA, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA, GL_SRC_ALPHA);
}

unsigned newTexture() {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    // Drawn 1:1: every pixel centre meets a texel centre.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return id;
}

}  // namespace

GlRenderer::~GlRenderer() = default;

bool GlRenderer::initialise(GlContext&) {
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    setTextureStage();
    return glGetError() == GL_NO_ERROR;
}

void GlRenderer::beginFrame(int width, int height) {
    ++frame_;
    height_ = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (auto it = textures_.begin(); it != textures_.end();) {
        if (frame_ - it->second.lastFrame > kTextureIdleFrames) {
            glDeleteTextures(1, &it->second.id);
            it = textures_.erase(it);
        } else {
            ++it;
        }
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlRenderer::endFrame() {
    glFlush();
}

void GlRenderer::releaseTextures() {
    for (auto& [bitmap, texture] : textures_) glDeleteTextures(1, &texture.id);
    textures_.clear();
    if (scratchTexture_) glDeleteTextures(1, &scratchTexture_);
    scratchTexture_ = 0;
}

void GlRenderer::readPixels(Bitmap& out) const {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int w = viewport[2], h = viewport[3];
    out.setSize(w, h);
    std::vector<uint32_t> rows(static_cast<size_t>(w) * h);
    glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    // GL counts rows from the bottom.
    for (int y = 0; y < h; ++y) {
        const uint32_t* src = rows.data() + static_cast<size_t>(h - 1 - y) * w;
        uint32_t* dst = out.row(y);
        for (int x = 0; x < w; ++x) dst[x] = src[x] & 0xffffffu;
    }
}

unsigned GlRenderer::textureFor(const Bitmap& bitmap) {
    Texture& t = textures_[&bitmap];
    t.lastFrame = frame_;
    const uint64_t hash = hashPixels(bitmap);
    if (t.id && t.width == bitmap.width() && t.height == bitmap.height() && t.contentHash == hash) {
        glBindTexture(GL_TEXTURE_2D, t.id);
        return t.id;
    }
    if (!t.id) t.id = newTexture();
    glBindTexture(GL_TEXTURE_2D, t.id);
    if (t.width == bitmap.width() && t.height == bitmap.height())
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, bitmap.width(), bitmap.height(), GL_BGRA, GL_UNSIGNED_BYTE,
                        bitmap.pixels().data());
    else
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, bitmap.width(), bitmap.height(), 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     bitmap.pixels().data());
    t.width = bitmap.width();
    t.height = bitmap.height();
    t.contentHash = hash;
    return t.id;
}

void GlRenderer::drawTexture(unsigned texture, int tw, int th, const Rect& d, Point s, int opacity, bool blend) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    if (blend)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    const auto o = static_cast<GLubyte>(opacity);
    glColor4ub(o, o, o, o);
    const float u0 = static_cast<float>(s.x) / tw, v0 = static_cast<float>(s.y) / th;
    const float u1 = static_cast<float>(s.x + d.width()) / tw, v1 = static_cast<float>(s.y + d.height()) / th;
    glBegin(GL_QUADS);
    glTexCoord2f(u0, v0);
    glVertex2i(d.left, d.top);
    glTexCoord2f(u1, v0);
    glVertex2i(d.right, d.top);
    glTexCoord2f(u1, v1);
    glVertex2i(d.right, d.bottom);
    glTexCoord2f(u0, v1);
    glVertex2i(d.left, d.bottom);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
}

void GlRenderer::drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) {
    if (bitmap.isEmpty() || destination.isEmpty() || opacity <= 0) return;
    if (opacity < 255) {
        scratch_.setSize(destination.width(), destination.height());
        for (int y = 0; y < destination.height(); ++y)
            std::copy_n(bitmap.row(source.y + y) + source.x, destination.width(), scratch_.row(y));
        drawScratch(destination.topLeft(), opacity);
        return;
    }
    // An opaque picture is copied, as in software.
    drawTexture(textureFor(bitmap), bitmap.width(), bitmap.height(), destination, source, 255,
                bitmap.hasAlpha.get());
}

void GlRenderer::drawScratch(Point at, int opacity) {
    if (opacity < 255) {
        // Scaled here with the software's own rounding: the texture stage would round where the
        // software truncates, a difference of up to three steps once composed.
        for (int y = 0; y < scratch_.height(); ++y) {
            uint32_t* p = scratch_.row(y);
            for (int x = 0; x < scratch_.width(); ++x) {
                const uint32_t v = p[x];
                const int alpha = Canvas::scale(255 - static_cast<int>(v >> 24), opacity);
                p[x] = static_cast<uint32_t>(Canvas::scale(v & 0xff, opacity)) |
                       static_cast<uint32_t>(Canvas::scale((v >> 8) & 0xff, opacity)) << 8 |
                       static_cast<uint32_t>(Canvas::scale((v >> 16) & 0xff, opacity)) << 16 |
                       static_cast<uint32_t>(255 - alpha) << 24;
            }
        }
        scratch_.hasAlpha = true;
    }
    if (!scratchTexture_) scratchTexture_ = newTexture();
    glBindTexture(GL_TEXTURE_2D, scratchTexture_);
    if (scratch_.width() > scratchTextureWidth_ || scratch_.height() > scratchTextureHeight_) {
        scratchTextureWidth_ = std::max(scratch_.width(), scratchTextureWidth_);
        scratchTextureHeight_ = std::max(scratch_.height(), scratchTextureHeight_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, scratchTextureWidth_, scratchTextureHeight_, 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, scratch_.width(), scratch_.height(), GL_BGRA, GL_UNSIGNED_BYTE,
                    scratch_.pixels().data());
    drawTexture(scratchTexture_, scratchTextureWidth_, scratchTextureHeight_,
                Rect::ofSize(at.x, at.y, scratch_.width(), scratch_.height()), {0, 0}, 255,
                scratch_.hasAlpha.get());
}

void GlRenderer::drawBlend(const Bitmap& a, const Rect& d, Point sa, const Bitmap& b, Point sb, int mix, int opacity) {
    if (a.isEmpty() || b.isEmpty() || d.isEmpty() || opacity <= 0) return;
    scratch_.setSize(d.width(), d.height());
    for (int y = 0; y < d.height(); ++y)
        Bitmap::crossFadeRowPlain(scratch_.row(y), a.row(sa.y + y) + sa.x, b.row(sb.y + y) + sb.x, d.width(), mix);
    scratch_.hasAlpha = a.hasAlpha.get() || b.hasAlpha.get();
    drawScratch(d.topLeft(), opacity);
}

void GlRenderer::drawLine(float x1, float y1, float x2, float y2, Rgba colour, float thickness, const Rect& clip) {
    if (clip.isEmpty()) return;
    scratch_.setSize(clip.width(), clip.height());
    scratch_.clear();
    const float dx = static_cast<float>(clip.left), dy = static_cast<float>(clip.top);
    scratch_.drawLine(x1 - dx, y1 - dy, x2 - dx, y2 - dy, colour, thickness, scratch_.bounds());
    drawScratch(clip.topLeft(), 255);
}

void GlRenderer::drawCurves(const CurveSet& curves, const Rect& rect, Point origin, bool transposed, int opacity) {
    if (rect.isEmpty()) return;
    scratch_.setSize(rect.width(), rect.height());
    scratch_.clear();
    scratch_.drawCurves(curves, scratch_.bounds(), origin - rect.topLeft(), transposed, opacity);
    drawScratch(rect.topLeft(), 255);
}

void GlRenderer::fillRect(const Rect& rect, Rgba colour) {
    if (rect.isEmpty() || colour.alpha == 0) return;
    const uint32_t p = Bitmap::premultiplied(colour);
    glColor4ub(static_cast<GLubyte>((p >> 16) & 0xff), static_cast<GLubyte>((p >> 8) & 0xff),
               static_cast<GLubyte>(p & 0xff), colour.alpha);
    glBegin(GL_QUADS);
    glVertex2i(rect.left, rect.top);
    glVertex2i(rect.right, rect.top);
    glVertex2i(rect.right, rect.bottom);
    glVertex2i(rect.left, rect.bottom);
    glEnd();
}

Rgba GlRenderer::getPixel(Point point) const {
    uint8_t bgra[4] = {0, 0, 0, 0};
    glReadPixels(point.x, height_ - 1 - point.y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    return Rgba{bgra[2], bgra[1], bgra[0], 255};
}

void GlRenderer::blendPixel(Point point, Rgba colour) {
    fillRect(Rect::ofSize(point.x, point.y, 1, 1), colour);
}

}  // namespace gui
