#include "gui/ScrollArea.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "gui/Animation.h"
#include "gui/Animator.h"

namespace gui {

class ScrollArea::ScrollAnimation : public Animation {
public:
    ScrollAnimation(Animator* animator, ScrollArea* area, float to)
        : Animation(animator, area, &area->position_), area_(area), from_(area->position_), to_(to) {}
    void apply(float x) override { area_->setScrollPosition(from_ + (to_ - from_) * x); }

private:
    ScrollArea* area_;
    float from_;
    float to_;
};

ScrollArea::ScrollArea(UserInterface* ui) : AnimatedControl(ui) {}

ScrollArea::~ScrollArea() = default;

void ScrollArea::propertyChanged(AbstractProperty* property) {
    if (property == &margin) {
        contentChanged();
        return;
    }
    AnimatedControl::propertyChanged(property);
}

int ScrollArea::contentWidth() const {
    int left = INT_MAX, right = INT_MIN;
    for (const Control* c : children()) {
        if (!c->visible) continue;
        left = std::min(left, c->bounds.get().left);
        right = std::max(right, c->bounds.get().right);
    }
    if (left > right) return 0;
    return right - left + 2 * margin;
}

int ScrollArea::maximumPosition() const {
    return std::max(0, contentWidth() - width());
}

void ScrollArea::setScrollPosition(float position) {
    position = std::clamp(position, 0.0f, static_cast<float>(maximumPosition()));
    const int whole = static_cast<int>(std::lround(position));
    const bool moved = position != position_;
    position_ = position;
    if (whole != shown_) {
        const int dx = shown_ - whole;
        shown_ = whole;
        moving_ = true;
        beginUpdate();
        for (Control* c : children()) c->setX(c->bounds.get().left + dx);
        endUpdate();
        moving_ = false;
    }
    if (moved) scrollChangedEvent.fire(this);
}

void ScrollArea::contentChanged() {
    // The content may have shrunk under the position.
    if (position_ > static_cast<float>(maximumPosition())) setScrollPosition(position_);
    scrollChangedEvent.fire(this);
}

void ScrollArea::childChanged(Control* source, int kind) {
    AnimatedControl::childChanged(source, kind);
    if (moving_) return;
    if (kind == ChildAdded || kind == ChildRemoved || kind == VisibilityChanged || kind == BoundsChanged)
        contentChanged();
}

void ScrollArea::resized() {
    contentChanged();
}

bool ScrollArea::wheelScroll(int, float pixels, int axis) {
    if (axis == 0) scrollBy(pixels);
    return true;
}

void ScrollArea::scrollIntoView(Control* child) {
    if (!child || child->parent.get() != this) return;
    const Rect b = child->bounds;
    float target;
    if (b.width() <= width())
        target = position_ + static_cast<float>(b.left - (width() - b.width()) / 2);
    else
        target = position_ + static_cast<float>(b.left - margin);
    target = std::clamp(target, 0.0f, static_cast<float>(maximumPosition()));
    Animator* a = animator;
    if (!a) {
        setScrollPosition(target);
        return;
    }
    auto* animation = new ScrollAnimation(a, this, target);
    animation->duration = kScrollIntoViewMs;
    animation->curve = Animation::Smooth;
}

}  // namespace gui
