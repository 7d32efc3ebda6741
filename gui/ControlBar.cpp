#include "gui/ControlBar.h"

#include <algorithm>
#include <cmath>

#include "gui/Animator.h"

namespace gui {

BarAnimation::BarAnimation(Animator* animator, ControlBar* bar, Control* child, bool inserting)
    : Animation(animator, bar, child), bar_(bar), child_(child), inserting_(inserting) {
    duration = kDurationMs;
    curve = EaseOut;
    finishedEvent.addHandler(this, &BarAnimation::finished);
}

void BarAnimation::apply(float x) {
    const float share = inserting_ ? x : 1.0f - x;
    bar_->setSlotShare(child_, share);
    child_->opacity = static_cast<int>(std::lround(255.0f * share));
}

void BarAnimation::finished(void*) {
    if (!inserting_) child_->parent = nullptr;
}

ControlBar::ControlBar(UserInterface* ui) : AnimatedControl(ui) {}

void ControlBar::propertyChanged(AbstractProperty* property) {
    if (property == &spacing || property == &horizontalAlignment || property == &verticalAlignment ||
        property == &autoSize) {
        requestLayout();
        return;
    }
    AnimatedControl::propertyChanged(property);
}

void ControlBar::childChanged(Control* source, int kind) {
    AnimatedControl::childChanged(source, kind);
    if (kind == ChildRemoved && source) {
        shares_.erase(source);
        // A child that leaves (or is deleted) takes its slide with it.
        if (Animator* a = animator) a->add(nullptr, nullptr, source);
    }
    if (layingOut_) return;
    if (kind == ChildAdded || kind == ChildRemoved || kind == VisibilityChanged || kind == BoundsChanged)
        requestLayout();
}

void ControlBar::resized() {
    if (!layingOut_) requestLayout();
}

void ControlBar::requestLayout() {
    layoutPending_ = true;
    requestUpdate();
}

void ControlBar::update() {
    if (layoutPending_) layoutNow();
    AnimatedControl::update();
}

float ControlBar::slotShare(const Control* child) const {
    auto it = shares_.find(child);
    return it == shares_.end() ? 1.0f : it->second;
}

void ControlBar::setSlotShare(Control* child, float share) {
    if (share >= 1.0f)
        shares_.erase(child);
    else
        shares_[child] = std::max(share, 0.0f);
    requestLayout();
}

void ControlBar::insertAnimated(Control* child) {
    Animator* a = animator;
    child->parent = this;
    if (!a) return;
    setSlotShare(child, 0.0f);
    child->opacity = 0;
    new BarAnimation(a, this, child, true);
}

void ControlBar::removeAnimated(Control* child) {
    Animator* a = animator;
    if (!a) {
        child->parent = nullptr;
        return;
    }
    new BarAnimation(a, this, child, false);
}

void ControlBar::layoutNow() {
    layoutPending_ = false;
    layingOut_ = true;
    int total = 0, tallest = 0, count = 0;
    for (const Control* c : children()) {
        if (!c->visible) continue;
        const float share = slotShare(c);
        total += static_cast<int>(std::lround((c->width() + (count > 0 ? spacing : 0)) * share));
        tallest = std::max(tallest, c->height());
        ++count;
    }
    if (autoSize) setSize(total, tallest);
    int x = 0;
    if (horizontalAlignment == Centre) x = (width() - total) / 2;
    if (horizontalAlignment == Right) x = width() - total;
    bool first = true;
    for (Control* c : children()) {
        if (!c->visible) continue;
        const float share = slotShare(c);
        if (!first) x += static_cast<int>(std::lround(spacing * share));
        first = false;
        int y = 0;
        if (verticalAlignment == Middle) y = (height() - c->height()) / 2;
        if (verticalAlignment == Bottom) y = height() - c->height();
        c->setPosition({x, y});
        x += static_cast<int>(std::lround(c->width() * share));
    }
    layingOut_ = false;
}

}  // namespace gui
