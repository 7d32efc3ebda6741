#pragma once

#include <cmath>
#include <type_traits>

#include "core/Property.h"
#include "gui/Animation.h"
#include "gui/Control.h"

namespace gui {

// Moves a value of type V held in a T (a plain int or float, or a limited property, which keeps
// the value between its limits) from one value to another. With a control given, a plain target
// invalidates the control at every step.
template <typename V, typename T>
class ValueAnimation : public Animation {
public:
    ValueAnimation(Animator* animator, T* target, V from, V to, Control* control = nullptr)
        : Animation(animator, control, target), target_(target), from_(from), to_(to), control_(control) {}

    void apply(float x) override {
        const float v = static_cast<float>(from_) + static_cast<float>(to_ - from_) * x;
        V value;
        if constexpr (std::is_integral_v<V>)
            value = static_cast<V>(std::lround(v));
        else
            value = static_cast<V>(v);
        if constexpr (std::is_base_of_v<AbstractProperty, T>) {
            target_->set(value);
        } else {
            *target_ = value;
            if (control_) control_->invalidateAll();
        }
    }

private:
    T* target_;
    V from_;
    V to_;
    Control* control_;
};

}  // namespace gui
