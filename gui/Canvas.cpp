#include "gui/Canvas.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Text.h"

namespace gui {

void Canvas::drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) {
    if (!owner_ || bitmap.isEmpty()) return;
    Rect clipped = destination.intersection(state_.clip);
    if (clipped.isEmpty()) return;
    int a = scale(state_.opacity, opacity);
    if (a <= 0) return;
    Point moved{source.x + clipped.left - destination.left, source.y + clipped.top - destination.top};
    owner_->drawBitmap(bitmap, clipped.movedBy(state_.origin.x, state_.origin.y), moved, a);
}

void Canvas::drawBlend(const Bitmap& a, const Rect& destination, Point sourceA, const Bitmap& b,
                       Point sourceB, int mix) {
    if (!owner_ || a.isEmpty() || b.isEmpty() || state_.opacity <= 0) return;
    Rect clipped = destination.intersection(state_.clip);
    if (clipped.isEmpty()) return;
    const Point shift{clipped.left - destination.left, clipped.top - destination.top};
    owner_->drawBlend(a, clipped.movedBy(state_.origin.x, state_.origin.y), sourceA + shift, b,
                      sourceB + shift, std::clamp(mix, 0, 255), state_.opacity);
}

void Canvas::drawText(Text& text, Point at, int opacity) {
    const Bitmap* bitmap = text.getBitmap();
    if (!bitmap) return;
    drawBitmap(*bitmap, Rect::ofSize(at.x, at.y, bitmap->width(), bitmap->height()), {0, 0}, opacity);
}

void Canvas::fillRect(const Rect& rect, Rgba colour) {
    if (!owner_) return;
    Rect clipped = rect.intersection(state_.clip);
    if (clipped.isEmpty()) return;
    colour.alpha = static_cast<uint8_t>(scale(colour.alpha, state_.opacity));
    if (colour.alpha == 0) return;
    owner_->fillRect(clipped.movedBy(state_.origin.x, state_.origin.y), colour);
}

void Canvas::drawHLine(int x1, int y, int x2, Rgba colour) {
    fillRect({std::min(x1, x2), y, std::max(x1, x2) + 1, y + 1}, colour);
}

void Canvas::drawVLine(int x, int y1, int y2, Rgba colour) {
    fillRect({x, std::min(y1, y2), x + 1, std::max(y1, y2) + 1}, colour);
}

void Canvas::drawFrame(const Rect& r, Rgba colour, int t) {
    fillRect({r.left, r.top - t, r.right, r.top}, colour);
    fillRect({r.right, r.top - t, r.right + t, r.bottom + t}, colour);
    fillRect({r.left, r.bottom, r.right, r.bottom + t}, colour);
    fillRect({r.left - t, r.top - t, r.left, r.bottom + t}, colour);
}

void Canvas::drawLine(Point from, Point to, Rgba colour, float thickness) {
    drawLine(from.x + 0.5f, from.y + 0.5f, to.x + 0.5f, to.y + 0.5f, colour, thickness);
}

void Canvas::drawLine(float x1, float y1, float x2, float y2, Rgba colour, float thickness) {
    if (!owner_ || state_.clip.isEmpty() || thickness <= 0) return;
    colour.alpha = static_cast<uint8_t>(scale(colour.alpha, state_.opacity));
    if (colour.alpha == 0) return;
    const float dx = static_cast<float>(state_.origin.x), dy = static_cast<float>(state_.origin.y);
    owner_->drawLine(x1 + dx, y1 + dy, x2 + dx, y2 + dy, colour, thickness,
                     state_.clip.movedBy(state_.origin.x, state_.origin.y));
}

void Canvas::drawCurves(const CurveSet& curves, const Rect& rect, bool transposed, int opacity) {
    if (!owner_) return;
    const Rect clipped = rect.intersection(state_.clip);
    const int a = scale(state_.opacity, opacity);
    if (clipped.isEmpty() || a <= 0) return;
    // The owner sees only the clipped rectangle; a fading fill carries its own end in the entry, so
    // its shading does not depend on which part is being repainted.
    owner_->drawCurves(curves, clipped.movedBy(state_.origin.x, state_.origin.y), state_.origin, transposed,
                       a);
}

void Canvas::drawStretched(const Bitmap& bitmap, const Rect& source, const Rect& destination, int opacity,
                           int minimumCap) {
    if (source.isEmpty() || destination.isEmpty()) return;
    if (source.height() == destination.height()) {
        stretchBand(bitmap, source, destination, opacity, minimumCap, source.height());
        return;
    }
    const int cap = std::min(std::max(minimumCap, std::min(source.height() / 3, source.width())),
                             destination.height() / 2);
    // Every band takes its columns' cap from the whole source, so that a band cut short at the
    // end of the middle does not get narrower caps (a seam down the edges).
    auto band = [&](int sy, int dy, int rows) {
        if (rows <= 0) return;
        stretchBand(bitmap, {source.left, sy, source.right, sy + rows},
                    {destination.left, dy, destination.right, dy + rows}, opacity, minimumCap,
                    source.height());
    };
    band(source.top, destination.top, cap);
    band(source.bottom - cap, destination.bottom - cap, cap);
    const int middle = source.height() - 2 * cap;
    if (middle <= 0) return;
    for (int y = destination.top + cap; y < destination.bottom - cap; y += middle)
        band(source.top + cap, y, std::min(middle, destination.bottom - cap - y));
}

void Canvas::stretchBand(const Bitmap& bitmap, const Rect& source, const Rect& destination, int opacity,
                         int minimumCap, int sourceHeight) {
    const int top = destination.top, bottom = destination.bottom;
    if (source.width() == destination.width()) {
        drawBitmap(bitmap, destination, source.topLeft(), opacity);
        return;
    }
    const int cap =
        std::min(std::max(minimumCap, std::min(source.width() / 3, sourceHeight)), destination.width() / 2);
    drawBitmap(bitmap, {destination.left, top, destination.left + cap, bottom}, source.topLeft(), opacity);
    drawBitmap(bitmap, {destination.right - cap, top, destination.right, bottom},
               {source.right - cap, source.top}, opacity);
    const int middle = source.width() - 2 * cap;
    if (middle <= 0) return;
    for (int x = destination.left + cap; x < destination.right - cap; x += middle)
        drawBitmap(bitmap, {x, top, std::min(x + middle, destination.right - cap), bottom},
                   {source.left + cap, source.top}, opacity);
}

Rgba Canvas::getPixel(Point point) const {
    if (!owner_ || !state_.clip.contains(point)) return Rgba{0, 0, 0, 0};
    return owner_->getPixel(point + state_.origin);
}

void Canvas::blendPixel(Point point, Rgba colour) {
    if (!owner_ || !state_.clip.contains(point)) return;
    colour.alpha = static_cast<uint8_t>(scale(colour.alpha, state_.opacity));
    if (colour.alpha == 0) return;
    owner_->blendPixel(point + state_.origin, colour);
}

}  // namespace gui
