#include "gui/Animator.h"

#include <algorithm>

#include "gui/Animation.h"
#include "gui/Component.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"

namespace gui {

// Registered with the user interface before the timer, so that when the user interface destroys
// its components this one goes first and the animator forgets the timer it is about to lose.
class Animator::TimerGuard : public Component {
public:
    TimerGuard(UserInterface* ui, Animator* animator) : Component(ui), animator_(animator) {}
    ~TimerGuard() override {
        if (animator_) animator_->timerGone();
    }
    void release() { animator_ = nullptr; }

private:
    Animator* animator_;
};

Animator::Animator(UserInterface* ui) : ui_(ui) {
    guard_ = new TimerGuard(ui, this);
    timer_ = ui->createTimer();
    timer_->frameSynchronized = true;
    timer_->firedEvent.setOwnerHandler(this, &Animator::tick);
    applyTimer();
}

Animator::~Animator() {
    for (const Op& op : queued_)
        if (op.kind == AddOp) delete op.entry.animation;
    for (const Entry& e : active_) delete e.animation;
    if (guard_) {
        guard_->release();
        delete guard_;
        delete timer_;
    }
}

void Animator::timerGone() {
    guard_ = nullptr;
    timer_ = nullptr;
}

void Animator::propertyChanged(AbstractProperty*) {
    applyTimer();
}

void Animator::applyTimer() {
    if (!timer_) return;
    timer_->interval = 1000 / std::max(1, rate.get());
    timer_->running = enabled.get();
}

void Animator::add(Animation* animation, Control* control, const void* target) {
    const Entry entry{animation, control, target, false};
    if (ticking_) {
        queued_.push_back({AddOp, entry});
        return;
    }
    doAdd(entry);
}

void Animator::remove(Animation* animation) {
    if (!animation) return;
    if (ticking_) {
        for (Entry& e : active_)
            if (e.animation == animation) e.dead = true;
        queued_.push_back({RemoveOp, {animation, nullptr, nullptr, false}});
        return;
    }
    doRemove(animation);
}

void Animator::removeAllOf(Control* control) {
    if (ticking_) {
        for (Entry& e : active_)
            if (e.control == control) e.dead = true;
        queued_.push_back({RemoveAllOp, {nullptr, control, nullptr, false}});
        return;
    }
    doRemoveAllOf(control);
}

void Animator::doAdd(const Entry& entry) {
    if (entry.target) {
        std::vector<Animation*> replaced;
        std::erase_if(active_, [&](const Entry& e) {
            if (e.target != entry.target || e.animation == entry.animation) return false;
            replaced.push_back(e.animation);
            return true;
        });
        for (Animation* a : replaced) delete a;
    }
    if (!entry.animation) {
        if (entry.control) doRemoveAllOf(entry.control);
        return;
    }
    active_.push_back(entry);
}

void Animator::doRemove(Animation* animation) {
    auto it = std::find_if(active_.begin(), active_.end(),
                           [&](const Entry& e) { return e.animation == animation; });
    if (it == active_.end()) return;
    active_.erase(it);
    delete animation;
}

void Animator::doRemoveAllOf(Control* control) {
    std::vector<Animation*> removed;
    std::erase_if(active_, [&](const Entry& e) {
        if (e.control != control) return false;
        removed.push_back(e.animation);
        return true;
    });
    for (Animation* a : removed) delete a;
}

bool Animator::isActive(const Animation* animation) const {
    return std::any_of(active_.begin(), active_.end(),
                       [&](const Entry& e) { return e.animation == animation && !e.dead; });
}

int Animator::activeCount() const {
    return static_cast<int>(
        std::count_if(active_.begin(), active_.end(), [](const Entry& e) { return !e.dead; }));
}

void Animator::tick(void*) {
    if (ticking_) return;
    ticking_ = true;
    const size_t count = active_.size();
    for (size_t i = 0; i < count; ++i) {
        // Entries are only marked while ticking, never moved, so indices stay valid.
        if (!active_[i].dead) active_[i].animation->step();
    }
    ticking_ = false;
    std::vector<Op> ops;
    ops.swap(queued_);
    for (const Op& op : ops) {
        switch (op.kind) {
            case AddOp:
                doAdd(op.entry);
                break;
            case RemoveOp:
                doRemove(op.entry.animation);
                break;
            case RemoveAllOp:
                doRemoveAllOf(op.entry.control);
                break;
        }
    }
}

}  // namespace gui
