#include "gui/ScrollStrip.h"

#include <algorithm>

#include "gui/ScrollArea.h"
#include "gui/ScrollButton.h"

namespace gui {

namespace {
constexpr int kPlainButtonWidth = 12;
}

ScrollStrip::ScrollStrip(UserInterface* ui, const Button::Style* leftStyle, const Button::Style* rightStyle)
    : AnimatedControl(ui),
      area_(new ScrollArea(ui)),
      left_(new ScrollButton(ui, ScrollButton::LeftSide, leftStyle)),
      right_(new ScrollButton(ui, ScrollButton::RightSide, rightStyle)) {
    // Children belong to the user interface like every component; they go with it.
    area_->parent = this;
    left_->parent = this;
    right_->parent = this;
    left_->setArea(area_);
    right_->setArea(area_);
    area_->scrollChangedEvent.addHandler(this, &ScrollStrip::scrollChanged);
    link(area_);
    link(left_);
    link(right_);
    layout();
}

ScrollStrip::~ScrollStrip() {
    if (area_) area_->scrollChangedEvent.removeHandlers(this);
}

void ScrollStrip::linkRemoved(Component* component) {
    if (component == area_) area_ = nullptr;
    if (component == left_) left_ = nullptr;
    if (component == right_) right_ = nullptr;
    AnimatedControl::linkRemoved(component);
}

void ScrollStrip::propertyChanged(AbstractProperty* property) {
    if (property == &autoHide) {
        scrollChanged(nullptr);
        return;
    }
    if (property == &animator) {
        for (AnimatedControl* part :
             {static_cast<AnimatedControl*>(area_), static_cast<AnimatedControl*>(left_),
              static_cast<AnimatedControl*>(right_)})
            if (part) part->animator = animator.get();
    }
    AnimatedControl::propertyChanged(property);
}

void ScrollStrip::resized() {
    layout();
}

void ScrollStrip::layout() {
    if (!area_ || !left_ || !right_) return;
    const int lw = left_->width() > 0 ? left_->width() : kPlainButtonWidth;
    const int rw = right_->width() > 0 ? right_->width() : kPlainButtonWidth;
    // Arrows keep the height of their pictures, centred on the strip.
    const int lh = left_->style().height > 0 ? left_->style().height : height();
    const int rh = right_->style().height > 0 ? right_->style().height : height();
    left_->setBounds(0, (height() - lh) / 2, lw, lh);
    right_->setBounds(width() - rw, (height() - rh) / 2, rw, rh);
    area_->setBounds(lw, 0, std::max(0, width() - lw - rw), height());
    scrollChanged(nullptr);
}

void ScrollStrip::scrollChanged(void*) {
    if (!area_ || !left_ || !right_) return;
    left_->visible = !autoHide || area_->canScrollLeft();
    right_->visible = !autoHide || area_->canScrollRight();
}

}  // namespace gui
