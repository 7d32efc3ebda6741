#include "gui/ScrollStrip.h"

#include <algorithm>

#include "gui/ScrollArea.h"
#include "gui/ScrollButton.h"

namespace gui {

namespace {
constexpr int kPlainButtonWidth = 12;
}

ScrollStrip::ScrollStrip(UserInterface* ui, const Button::Style* leftStyle, const Button::Style* rightStyle)
    : AnimatedControl(ui), area_(new ScrollArea(ui)), left_(new ScrollButton(ui, ScrollButton::LeftSide, leftStyle)),
      right_(new ScrollButton(ui, ScrollButton::RightSide, rightStyle)) {
    // Children belong to the user interface like every component; they go with it.
    area_->parent = this;
    left_->parent = this;
    right_->parent = this;
    left_->area = area_;
    right_->area = area_;
    area_->scrollChangedEvent.addHandler(this, &ScrollStrip::scrollChanged);
    layout();
}

void ScrollStrip::propertyChanged(AbstractProperty* property) {
    if (property == &autoHide) {
        scrollChanged(nullptr);
        return;
    }
    if (property == &animator) {
        area_->animator = animator.get();
        left_->animator = animator.get();
        right_->animator = animator.get();
    }
    AnimatedControl::propertyChanged(property);
}

void ScrollStrip::resized() {
    layout();
}

void ScrollStrip::layout() {
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
    left_->visible = !autoHide || area_->canScrollLeft();
    right_->visible = !autoHide || area_->canScrollRight();
}

}  // namespace gui
