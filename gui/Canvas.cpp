#include "gui/Canvas.h"

namespace gui {

void Canvas::drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) {
    if (!owner_) return;
    Rect clipped = destination.intersection(state_.clip);
    if (clipped.isEmpty()) return;
    int a = scale(state_.opacity, opacity);
    if (a <= 0) return;
    Point moved{source.x + clipped.left - destination.left, source.y + clipped.top - destination.top};
    owner_->drawBitmap(bitmap, clipped.movedBy(state_.origin.x, state_.origin.y), moved, a);
}

void Canvas::fillRect(const Rect& rect, Rgba colour) {
    if (!owner_) return;
    Rect clipped = rect.intersection(state_.clip);
    if (clipped.isEmpty()) return;
    colour.alpha = static_cast<uint8_t>(scale(colour.alpha, state_.opacity));
    owner_->fillRect(clipped.movedBy(state_.origin.x, state_.origin.y), colour);
}

}  // namespace gui
