#include "gui/ValueDragMapper.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/Control.h"
#include "gui/ModifierMap.h"
#include "gui/UserInterface.h"

namespace gui {

namespace {
constexpr Point kNoPress{-1, -1};
// The pointer may wander this far from a press that could become a double-click.
constexpr int kDoubleClickSlack = 4;
// Ranges this small step through the wheel by the square-root rule.
constexpr int kSmallRange = 100;
}  // namespace

ValueDragMapper::ValueDragMapper(const MillisecondClock& clock) : sinceMove_(IntervalTimer::create(clock)) {}

void ValueDragMapper::beginDrag(Point point) {
    sinceMove_->restart();
    remainder_ = 0.0f;
    wheelRemainder_ = 0.0f;
    wheelDirection_ = 0;
    pressPosition_ = point;
}

int ValueDragMapper::dragDelta(const Control& control, Point point, float pixels, int flags) {
    if (control.doubleClickEnabled && pressPosition_ != kNoPress) {
        const UserInterface* ui = control.userInterface();
        const int doubleClickTime = ui ? ui->doubleClickTime() : 0;
        if (std::abs(point.x - pressPosition_.x) <= kDoubleClickSlack &&
            std::abs(point.y - pressPosition_.y) <= kDoubleClickSlack &&
            sinceMove_->elapsedMs() <= doubleClickTime)
            return 0;
        pressPosition_ = kNoPress;
    }
    float d = pixels;
    const int ms = sinceMove_->elapsedMs();
    sinceMove_->restart();
    if (ModifierMap::lookupModifierAction(flags) & ModifierMap::Fine) {
        d *= fineFactor;
    } else if (acceleration && valueRange >= kSmallRange) {
        // At 100 pixels per second or faster a pixel is a full step; slower, it tends to the fine factor.
        const float speed = std::min(std::fabs(pixels) / static_cast<float>(std::max(ms, 20)), 0.1f);
        d = (speed * 10.0f * (1.0f - fineFactor) + fineFactor) * pixels;
    }
    const float range = static_cast<float>(valueRange);
    const float r = range * d / std::min(static_cast<float>(dragRange), range * 20.0f) + remainder_;
    const float steps = std::trunc(r);
    remainder_ = r - steps;
    return static_cast<int>(steps);
}

int ValueDragMapper::wheelDelta(float speed, int flags) {
    float r;
    if (valueRange >= kSmallRange) {
        r = static_cast<float>(valueRange) * speed;
        if (ModifierMap::lookupModifierAction(flags) & ModifierMap::Fine) r *= fineFactor;
        r += wheelRemainder_;
    } else {
        const int direction = speed > 0.0f ? 1 : (speed < 0.0f ? -1 : 0);
        r = static_cast<float>(direction) * std::sqrt(std::fabs(speed)) + wheelRemainder_;
        // A turn in a new direction always moves at least one step that way.
        if (direction != 0 && direction != wheelDirection_) {
            r = direction > 0 ? std::max(r, 1.0f) : std::min(r, -1.0f);
            wheelDirection_ = direction;
        }
    }
    const float steps = std::trunc(r);
    wheelRemainder_ = r - steps;
    return static_cast<int>(steps);
}

void ValueDragMapper::resetWheel() {
    sinceMove_->restart();
    remainder_ = 0.0f;
    wheelRemainder_ = 0.0f;
    wheelDirection_ = 0;
    pressPosition_ = kNoPress;
}

}  // namespace gui
