#include "gui/RolloverValueControl.h"

#include "gui/Animator.h"
#include "gui/ValueAnimation.h"

namespace gui {

void drawImage(Canvas& canvas, const Bitmap& bitmap, const Rect& where, bool stretched, int opacity) {
    if (bitmap.isEmpty() || opacity <= 0) return;
    if (stretched)
        canvas.drawStretched(bitmap, bitmap.bounds(), where, opacity);
    else
        canvas.drawBitmap(bitmap, Rect::ofSize(where.left, where.top, bitmap.width(), bitmap.height()),
                          {0, 0}, opacity);
}

void RolloverValueControl::Rollover::setTarget(bool on, AnimatedControl& control) {
    if (on == target_) return;
    target_ = on;
    Animator* animator = control.animator;
    drop(control);
    const int to = on ? 255 : 0;
    if (!animator) {
        level_ = to;
        control.invalidateAll();
        return;
    }
    // The animator owns the animation and deletes it when it ends.
    auto* a = new ValueAnimation<int, int>(animator, &level_, level_, to, &control);
    a->duration = on ? kFadeInMs : kFadeOutMs;
    a->finishedEvent.addHandler(this, &Rollover::finished);
    animation_ = a;
}

void RolloverValueControl::Rollover::drop(AnimatedControl& control) {
    Animator* animator = control.animator;
    if (animation_ && animator && animator->isActive(animation_)) animator->remove(animation_);
    animation_ = nullptr;
}

void RolloverValueControl::Rollover::draw(Canvas& canvas, const Bitmap* normal, const Bitmap* hovered,
                                          const Rect& where, bool stretched, int opacity) {
    const bool haveNormal = normal && !normal->isEmpty();
    const bool haveHovered = hovered && !hovered->isEmpty();
    if (!haveHovered || (haveNormal && level_ <= 0)) {
        if (haveNormal) drawImage(canvas, *normal, where, stretched, opacity);
        return;
    }
    if (!haveNormal) {
        drawImage(canvas, *hovered, where, stretched, opacity * level_ / 255);
        return;
    }
    if (level_ >= 255 || normal->width() != hovered->width() || normal->height() != hovered->height()) {
        drawImage(canvas, level_ >= 128 ? *hovered : *normal, where, stretched, opacity);
        return;
    }
    if (blendOf_[0] != normal || blendOf_[1] != hovered || blendLevel_ != level_) {
        blend_.blend(*normal, *hovered, level_);
        blendOf_[0] = normal;
        blendOf_[1] = hovered;
        blendLevel_ = level_;
    }
    drawImage(canvas, blend_, where, stretched, opacity);
}

RolloverValueControl::RolloverValueControl(UserInterface* ui) : ValueControl(ui) {}

void RolloverValueControl::propertyChanged(AbstractProperty* property) {
    if (property == &highlighted) {
        updateRollover();
        return;
    }
    if (property == &idleOpacity) {
        invalidateAll();
        return;
    }
    ValueControl::propertyChanged(property);
}

void RolloverValueControl::mouseEntered() {
    hovering_ = true;
    updateRollover();
    ValueControl::mouseEntered();
}

void RolloverValueControl::mouseExited() {
    hovering_ = false;
    updateRollover();
    ValueControl::mouseExited();
}

void RolloverValueControl::updateRollover() {
    rollover_.setTarget(hovering_ || highlighted, *this);
}

int RolloverValueControl::drawnOpacity() const {
    const int base = idleOpacity;
    return base + (255 - base) * rollover_.level() / 255;
}

}  // namespace gui
