#include "gui/Animation.h"

#include <cmath>

#include "gui/Animator.h"
#include "gui/Control.h"
#include "gui/UserInterface.h"

namespace gui {

Animation::Animation(Animator* animator, Control* control, const void* target)
    : animator_(animator), start_(IntervalTimer::create(animator->userInterface()->clock())) {
    animator_->add(this, control, target);
}

Animation::~Animation() = default;

float Animation::ease(int curve, float c) {
    // 1 / (1 - 0.4^4), so that the two eased curves run from 0 to 1.
    constexpr float kScale = 1.0262725f;
    constexpr float kBase = 0.4f * 0.4f * 0.4f * 0.4f;
    switch (curve) {
        case Smooth:
            return c * c * (3.0f - 2.0f * c);
        case EaseIn:
            return (std::pow(0.4f + 0.6f * c, 4.0f) - kBase) * kScale;
        case EaseOut:
            return 1.0f - (std::pow(0.4f + 0.6f * (1.0f - c), 4.0f) - kBase) * kScale;
        default:
            return c;
    }
}

void Animation::step() {
    const int d = duration;
    const float c = d > 0 ? static_cast<float>(start_->elapsedMs()) / static_cast<float>(d) : 1.0f;
    if (c >= 1.0f) {
        apply(1.0f);
        finishedEvent.fire(this);
        animator_->remove(this);
        return;
    }
    apply(ease(curve, c < 0 ? 0 : c));
}

FadeAnimation::FadeAnimation(Animator* animator, Control* control, int to)
    : Animation(animator, control, &control->opacity), control_(control), from_(control->opacity), to_(to) {}

void FadeAnimation::apply(float x) {
    control_->opacity = from_ + static_cast<int>(std::lround(static_cast<float>(to_ - from_) * x));
}

}  // namespace gui
