#pragma once

#include "gui/Animator.h"
#include "gui/Control.h"

namespace gui {

// A control that animates through an animator; its animations go with it. UI thread.
class AnimatedControl : public Control {
public:
    explicit AnimatedControl(UserInterface* ui) : Control(ui) {}
    ~AnimatedControl() override {
        if (animator.get()) animator.get()->removeAllOf(this);
    }

    Property<Animator*> animator{this, nullptr};
};

}  // namespace gui
