#pragma once

#include <memory>

#include "gui/Point.h"
#include "platform/IntervalTimer.h"

namespace gui {

class Control;

// Turns mouse drags and wheel turns into value steps. Slow drags get the fine factor and fast
// ones the full step (when accelerated); a press that may become a double-click moves nothing
// until the pointer leaves a 4-pixel square or the double-click time runs out; fractions of a step
// are carried into the next movement. [ui]
class ValueDragMapper {
public:
    explicit ValueDragMapper(const MillisecondClock& clock = MillisecondClock::monotonic());

    bool acceleration = true;
    float fineFactor = 0.1f;
    // Pixels for the full value range.
    int dragRange = 200;
    // Kept equal to maximum - minimum by the owning control.
    int valueRange = 4096;

    void beginDrag(Point point);
    // Steps for a movement of `pixels` that left the pointer at `point` (control coordinates).
    int dragDelta(const Control& control, Point point, float pixels, int flags);
    // Steps for a clamped wheel speed.
    int wheelDelta(float speed, int flags);
    void resetWheel();

    Point pressPosition() const { return pressPosition_; }
    float remainder() const { return remainder_; }

private:
    float remainder_ = 0.0f;
    std::unique_ptr<IntervalTimer> sinceMove_;
    Point pressPosition_{-1, -1};
    int wheelDirection_ = 0;
    float wheelRemainder_ = 0.0f;
};

}  // namespace gui
