#include "gui/Switch.h"

#include <algorithm>

#include "gui/UserInterface.h"

namespace gui {

namespace {
constexpr int kSliderRange = 100;
}

Switch::Switch(UserInterface* ui, const Style* style) : RolloverValueControl(ui), mapper_(ui->clock()) {
    // The handle follows the pointer one to one.
    mapper_.acceleration = false;
    maximum = 1;
    if (style) setStyle(style);
}

void Switch::setStyle(const Style* style) {
    style_ = style;
    if (style_ && style_->track && localRect().isEmpty())
        setSize(style_->track->width(), style_->track->height());
    applyAutoSize();
    layout();
    invalidateAll();
}

bool Switch::isSlider() const {
    return range() >= kSliderRange;
}

Point Switch::handleSize() const {
    if (!style_ || !style_->handle) return {0, 0};
    return {style_->handle->width(), style_->handle->height()};
}

int Switch::autoLength() const {
    const Point h = handleSize();
    const bool vertical = height() >= width();
    const int handle = vertical ? h.y : h.x;
    int track = 0;
    if (style_ && style_->track) track = vertical ? style_->track->height() : style_->track->width();
    return handle * (range() + 1) + (track - 2 * handle) * range();
}

void Switch::applyAutoSize() {
    if (!autoSize || !style_ || !style_->track || positioning_) return;
    const int length = autoLength();
    if (length <= 0) return;
    positioning_ = true;
    if (height() >= width())
        setSize(width(), length);
    else
        setSize(length, height());
    positioning_ = false;
}

void Switch::layout() {
    orientation_ = height() >= width() ? Vertical : Horizontal;
    const Point h = handleSize();
    travel_ = orientation_ == Vertical ? height() - h.y : width() - h.x;
    mapper_.valueRange = range();
    mapper_.dragRange = std::max(travel_, 1);
    int p = travel_ > 0 ? (value - minimum) * travel_ / range() : 0;
    if (orientation_ == Vertical && isSlider()) p = travel_ - p;
    if (orientation_ == Vertical) {
        handleX_ = (width() - h.x) / 2;
        handleY_ = p;
    } else {
        handleX_ = p;
        handleY_ = (height() - h.y) / 2;
    }
}

Rect Switch::handleRect() const {
    const Point h = handleSize();
    return Rect::ofSize(handleX_, handleY_, h.x, h.y);
}

int Switch::valueAtPosition(int q) const {
    if (travel_ <= 0) return minimum;
    if (orientation_ == Vertical && isSlider()) q = travel_ - q;
    const int r = range();
    const int v = minimum + (q + travel_ / (2 * r)) * r / travel_;
    return std::clamp(v, minimum.get(), maximum.get());
}

void Switch::propertyChanged(AbstractProperty* property) {
    if (property == &autoSize) {
        applyAutoSize();
        layout();
        return;
    }
    RolloverValueControl::propertyChanged(property);
}

void Switch::valueRangeChanged(AbstractProperty* property) {
    RolloverValueControl::valueRangeChanged(property);
    if (property != &value) applyAutoSize();
    layout();
}

void Switch::resized() {
    layout();
    RolloverValueControl::resized();
}

void Switch::mouseDown(int button, Point point, int flags) {
    RolloverValueControl::mouseDown(button, point, flags);
    if (button != 0) return;
    if (isSlider() && resetOnPress(flags)) return;
    const bool onHandle = handleRect().contains(point);
    if (!onHandle && !isSlider()) {
        trackPressed_ = true;
        return;
    }
    updateLinkMode(flags);
    mapper_.beginDrag(point);
    pressValue_ = target_ = value;
    lastPosition_ = point;
    dragging_ = true;
    dragFromHandle_ = onHandle;
    handleRollover_.setTarget(true, *this);
}

void Switch::mouseMove(Point point, int flags) {
    RolloverValueControl::mouseMove(point, flags);
    if (!dragging_) {
        handleRollover_.setTarget(isHovering() && handleRect().contains(point), *this);
        return;
    }
    updateLinkMode(flags);
    int movement = orientation_ == Vertical ? point.y - lastPosition_.y : point.x - lastPosition_.x;
    if (orientation_ == Vertical && isSlider()) movement = -movement;
    const int steps = mapper_.dragDelta(*this, point, static_cast<float>(movement), flags);
    // While the double-click guard holds, the movement is kept for later rather than lost.
    if (mapper_.pressPosition() != Point{-1, -1}) return;
    lastPosition_ = point;
    if (dragFromHandle_) {
        // An unclamped running target: after overshooting an end the pointer must come back first.
        target_ += steps;
        edit(Change, target_ - accumulatedValue());
    } else {
        edit(Change, steps);
    }
}

void Switch::mouseUp(int button, Point point, int flags) {
    if (button == 0 && trackPressed_ && !isSlider() && contains(point)) {
        const Point h = handleSize();
        const int q = orientation_ == Vertical ? point.y - h.y / 2 : point.x - h.x / 2;
        editTo(valueAtPosition(q));
    }
    trackPressed_ = false;
    RolloverValueControl::mouseUp(button, point, flags);
    if (dragging_) {
        dragging_ = false;
        updateLinkMode(0);
        handleRollover_.setTarget(isHovering() && handleRect().contains(point), *this);
    }
}

void Switch::mouseExited() {
    handleRollover_.setTarget(dragging_, *this);
    RolloverValueControl::mouseExited();
}

bool Switch::wheel(int phase, Point, int flags, float speedX, float speedY, float, float) {
    float speed = speedX;
    if (orientation_ == Vertical) speed = isSlider() ? speedY : -speedY;
    return wheelEdit(mapper_, phase, speed, flags, dragging_);
}

void Switch::paint(Canvas& canvas) {
    if (!style_) return;
    const int opacity = drawnOpacity();
    rollover_.draw(canvas, style_->track, style_->trackHovered, localRect(), true, opacity);
    handleRollover_.draw(canvas, style_->handle, style_->handleHovered, handleRect(), false, opacity);
}

}  // namespace gui
