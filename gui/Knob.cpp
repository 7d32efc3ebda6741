#include "gui/Knob.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "gui/UserInterface.h"

namespace gui {

namespace {
float wrap(float turns) {
    return turns - std::floor(turns);
}
// The shorter way between two angles, in turns (0 to 0.5).
float angleDistance(float a, float b) {
    return std::fabs(wrap(a - b + 0.5f) - 0.5f);
}
// Below this many steps the wheel counts notches, and a knob whose sweep lies on the left turns
// with the wheel's direction reversed.
constexpr int kSmallRange = 100;
}  // namespace

Knob::Knob(UserInterface* ui, const Style* style) : RolloverValueControl(ui), mapper_(ui->clock()) {
    angle_ = angleOfValue(value);
    if (style) setStyle(style);
}

void Knob::setStyle(const Style* style) {
    style_ = style;
    if (const Bitmap* p = image(Pointer)) setSize(p->width(), p->height());
    invalidateAll();
}

const Bitmap* Knob::image(int index) const {
    if (!style_) return nullptr;
    const Bitmap* b = style_->images[static_cast<size_t>(index)];
    return b && !b->isEmpty() ? b : nullptr;
}

void Knob::propertyChanged(AbstractProperty* property) {
    if (property == &sweep || property == &rotationOffset) {
        angle_ = angleOfValue(value);
        invalidateAll();
    } else if (property == &accelerate) {
        mapper_.acceleration = accelerate;
    } else if (property == &fineFactor) {
        mapper_.fineFactor = fineFactor;
    } else {
        RolloverValueControl::propertyChanged(property);
    }
}

void Knob::valueRangeChanged(AbstractProperty* property) {
    RolloverValueControl::valueRangeChanged(property);
    mapper_.valueRange = range();
    angle_ = angleOfValue(value);
}

// Geometry.

float Knob::pointerAngle(Point point) const {
    const Point c = centre();
    if (point == c) return 0.0f;
    const double a = std::atan2(static_cast<double>(point.y - c.y), static_cast<double>(point.x - c.x));
    return wrap(static_cast<float>(a / (2.0 * std::numbers::pi) + 0.25));
}

float Knob::angleOfValue(int v) const {
    const float s = static_cast<float>(sweep.get()) / 360.0f;
    const float start =
        1.0f - static_cast<float>(sweep.get()) / 720.0f + static_cast<float>(rotationOffset.get()) / 360.0f;
    return wrap(start + s * static_cast<float>(v - minimum) / static_cast<float>(range()));
}

int Knob::valueOfAngle(float angle) const {
    const float s = static_cast<float>(sweep.get()) / 360.0f;
    const float fromStart =
        wrap(angle - static_cast<float>(rotationOffset.get()) / 360.0f - 0.5f) - (1.0f - s) / 2.0f;
    return static_cast<int>(
        std::trunc(fromStart / s * static_cast<float>(range()) + static_cast<float>(minimum.get()) + 0.5f));
}

bool Knob::isOnRing(Point point, float angle, float halfWidth) const {
    if (!style_) return false;
    const Point c = centre();
    const long dx = point.x - c.x, dy = point.y - c.y;
    const long d2 = dx * dx + dy * dy;
    const long inner = style_->innerRadius, outer = style_->outerRadius;
    if (d2 < inner * inner || d2 > outer * outer) return false;
    return angleDistance(pointerAngle(point), angle) <= halfWidth / 360.0f;
}

Rect Knob::getLocalBounds() const {
    const int inset = style_ ? style_->inset : 0;
    const Rect r{inset, inset, width() - inset, height() - inset};
    return r.isEmpty() ? Rect{} : r;
}

int Knob::hitAlpha(Point point) const {
    if (!style_) return 255;
    if (const Bitmap* body = image(Body)) {
        if (!body->bounds().contains(point)) return 0;
        // A body drawn as a ring holds its knob in the pointer picture (a large knob's cap).
        const Bitmap* pointer = image(Pointer);
        const int inPointer = pointer && pointer->bounds().contains(point) ? pointer->getPixel(point).alpha : 0;
        return std::max<int>(body->getPixel(point).alpha, inPointer);
    }
    const float centreOfSweep = wrap(static_cast<float>(rotationOffset.get()) / 360.0f);
    return isOnRing(point, centreOfSweep, static_cast<float>(sweep.get()) / 2.0f + style_->grabMargin) ? 255
                                                                                                       : 0;
}

// Input.

void Knob::setHoverZone(int zone) {
    if (zone == hoverZone_) return;
    hoverZone_ = zone;
    invalidateAll();
}

void Knob::mouseEntered() {
    setHoverZone(OverKnob);
    RolloverValueControl::mouseEntered();
}

void Knob::mouseExited() {
    setHoverZone(Outside);
    RolloverValueControl::mouseExited();
}

void Knob::mouseDown(int button, Point point, int flags) {
    RolloverValueControl::mouseDown(button, point, flags);
    if (button != 0 || ((flags & DoubleClick) && doubleClickEnabled)) return;
    if (resetOnPress(flags)) return;
    updateLinkMode(flags);
    if (hoverZone_ == OverMark) {
        dragMode_ = RotaryDrag;
        pressPointerAngle_ = pointerAngle(point);
        pressValueAngle_ = angle_;
        invalidateAll();
    } else if (image(Body)) {
        dragMode_ = LinearDrag;
        lastY_ = point.y;
        mapper_.beginDrag(point);
        invalidateAll();
    } else {
        clickToAngle_ = true;
    }
}

void Knob::mouseMove(Point point, int flags) {
    RolloverValueControl::mouseMove(point, flags);
    if (dragMode_ == NoDrag) {
        if (hoverZone_ != Outside) {
            const float margin = style_ ? style_->grabMargin : 0.0f;
            setHoverZone(isOnRing(point, angle_, margin) ? OverMark : OverKnob);
        }
        return;
    }
    updateLinkMode(flags);
    if (dragMode_ == LinearDrag) {
        const int dy = lastY_ - point.y;
        lastY_ = point.y;
        edit(Change, mapper_.dragDelta(*this, point, static_cast<float>(dy), flags));
        return;
    }
    const int target = valueOfAngle(pointerAngle(point) + pressValueAngle_ - pressPointerAngle_);
    if (jumpGuard && std::abs(target - value) > range() / 2) return;
    edit(Change, target - accumulatedValue());
}

void Knob::mouseUp(int button, Point point, int flags) {
    // A bare ring jumps to the clicked angle, inside the press's edit.
    if (button == 0 && clickToAngle_ && hitAlpha(point) > 0) editTo(valueOfAngle(pointerAngle(point)));
    clickToAngle_ = false;
    RolloverValueControl::mouseUp(button, point, flags);
    if (dragMode_ != NoDrag) {
        updateLinkMode(0);
        dragMode_ = NoDrag;
        invalidateAll();
    }
}

bool Knob::wheel(int phase, Point, int flags, float, float speedY, float, float) {
    float speed = speedY;
    if (range() < kSmallRange && rotationOffset - sweep / 2 > 0) speed = -speed;
    return wheelEdit(mapper_, phase, speed, flags, dragMode_ != NoDrag);
}

// Painting.

int Knob::pointerImage() const {
    int index = Pointer;
    if (dragMode_ == RotaryDrag)
        index = PointerDragged;
    else if (hoverZone_ == OverMark)
        index = PointerOnMark;
    else if (hoverZone_ != Outside || dragMode_ != NoDrag)
        index = PointerHovered;
    return image(index) ? index : Pointer;
}

void Knob::renderPointer(int index) {
    const Bitmap* source = image(index);
    if (!source) return;
    const bool angleMoved = angleDistance(angle_, cache_.angle) >= 0.001f || cache_.angle < 0.0f;
    if (!angleMoved && cache_.image == index && cache_.dragMode == dragMode_) return;
    const Bitmap* base = image(Pointer);
    if (pointerBitmap_.width() != base->width() || pointerBitmap_.height() != base->height())
        pointerBitmap_.setSize(base->width(), base->height());
    pointerBitmap_.drawRotated(*source, angle_ * 2.0f * std::numbers::pi_v<float>);
    pointerBitmap_.hasAlpha = true;
    cache_ = {angle_, index, dragMode_};
}

void Knob::paint(Canvas& canvas) {
    const int opacity = drawnOpacity();
    rollover_.draw(canvas, image(Body), image(BodyHovered), localRect(), false, opacity);
    renderPointer(pointerImage());
    if (!pointerBitmap_.isEmpty()) drawImage(canvas, pointerBitmap_, localRect(), false, opacity);
}

void Knob::paintInState(Canvas& canvas, int state) {
    if (const Bitmap* body = image(state == 2 ? BodyHovered : Body))
        drawImage(canvas, *body, localRect(), false);
    renderPointer(pointerImage());
    if (!pointerBitmap_.isEmpty()) drawImage(canvas, pointerBitmap_, localRect(), false);
}

}  // namespace gui
