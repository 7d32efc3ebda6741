#pragma once

#include <vector>

#include "core/Property.h"

namespace gui {

class Animation;
class Component;
class Control;
class Timer;
class UserInterface;

// Runs the time-based animations of one editor from a frame-synchronized timer. An animation
// registers itself at construction; adding one for a target that already animates replaces
// (deletes) the running one. Changes made while a tick runs are applied after it. UI thread.
class Animator : public PropertyOwner {
public:
    explicit Animator(UserInterface* ui);
    ~Animator() override;
    Animator(const Animator&) = delete;
    Animator& operator=(const Animator&) = delete;

    Property<bool> enabled{this, false};
    // Frames per second.
    Property<int> rate{this, 10};

    void propertyChanged(AbstractProperty* property) override;

    // Takes ownership of the animation. With no animation, deletes every animation of the control.
    void add(Animation* animation, Control* control, const void* target);
    // Deletes the animation.
    void remove(Animation* animation);
    void removeAllOf(Control* control);

    bool isActive(const Animation* animation) const;
    int activeCount() const;
    UserInterface* userInterface() const { return ui_; }
    Timer* timer() const { return timer_; }

private:
    class TimerGuard;
    struct Entry {
        Animation* animation;
        Control* control;
        const void* target;
        bool dead;
    };
    enum OpKind { AddOp, RemoveOp, RemoveAllOp };
    struct Op {
        OpKind kind;
        Entry entry;
    };

    void tick(void*);
    void applyTimer();
    void doAdd(const Entry& entry);
    void doRemove(Animation* animation);
    void doRemoveAllOf(Control* control);
    void timerGone();

    UserInterface* ui_;
    TimerGuard* guard_ = nullptr;
    Timer* timer_ = nullptr;
    std::vector<Entry> active_;
    std::vector<Op> queued_;
    bool ticking_ = false;
};

}  // namespace gui
