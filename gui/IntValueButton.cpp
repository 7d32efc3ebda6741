#include "gui/IntValueButton.h"

#include <algorithm>
#include <string>

namespace gui {

namespace {
constexpr int kKeys = Control::Shift | Control::Alt | Control::Ctrl;
}

IntValueButton::IntValueButton(UserInterface* ui, const Button::Style* style) : Button(ui, style) {
    setText(std::to_string(value.get()));
}

void IntValueButton::valueRangeChanged(AbstractProperty* property) {
    Button::valueRangeChanged(property);
    setText(std::to_string(value.get()));
}

void IntValueButton::rebase(int y, int keys) {
    pressY_ = y;
    pressValue_ = value;
    pressKeys_ = keys;
}

void IntValueButton::mouseDown(int button, Point point, int flags) {
    Button::mouseDown(button, point, flags);
    if (button != 0) return;
    dragging_ = true;
    rebase(point.y, flags & kKeys);
}

void IntValueButton::mouseMove(Point point, int flags) {
    Button::mouseMove(point, flags);
    if (!dragging_) return;
    if ((flags & kKeys) != pressKeys_) rebase(point.y, flags & kKeys);
    const int steps = (pressY_ - point.y) / std::max(1, pixelsPerStep) * ((flags & Shift) ? 10 : 1);
    const int target = pressValue_ + steps;
    const int clamped = std::clamp(target, minimum.get(), maximum.get());
    edit(Change, clamped - accumulatedValue());
    if (clamped != target) rebase(point.y, pressKeys_);
}

void IntValueButton::mouseUp(int button, Point point, int flags) {
    if (button == 0) dragging_ = false;
    Button::mouseUp(button, point, flags);
}

}  // namespace gui
