#pragma once

#include <memory>

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/AnimatedObject.h"
#include "platform/IntervalTimer.h"

namespace gui {

class Animator;
class Control;

// A value that moves from a start to an end over a duration along a curve. Construction
// registers it with the animator (replacing a running animation of the same target) and starts
// its clock; when the time is up it applies the end, fires finishedEvent and is deleted. UI thread.
class Animation : public AnimatedObject {
public:
    enum Curve { Linear = 0, Smooth = 1, EaseIn = 2, EaseOut = 3 };

    Animation(Animator* animator, Control* control, const void* target);
    ~Animation() override;

    void step() override;
    // x runs from 0 to 1 along the curve.
    virtual void apply(float x) = 0;

    Property<int> duration{nullptr, 200};
    Property<int> curve{nullptr, Linear};
    NotifyEvent finishedEvent;

    Animator* animator() const { return animator_; }

    // The curve's value at c in [0, 1).
    static float ease(int curve, float c);

private:
    Animator* animator_;
    std::unique_ptr<IntervalTimer> start_;
};

// Fades a control's opacity from its current value.
class FadeAnimation : public Animation {
public:
    FadeAnimation(Animator* animator, Control* control, int to);
    void apply(float x) override;

private:
    Control* control_;
    int from_;
    int to_;
};

}  // namespace gui
