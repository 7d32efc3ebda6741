#include "gui/UpdatedObject.h"

void UpdatedObject::endUpdate() {
    if (lockCount_ > 0) --lockCount_;
    if (lockCount_ == 0 && state_ == Pending) {
        state_ = Idle;
        requestUpdate();
    }
}

void UpdatedObject::requestUpdate() {
    if (lockCount_ != 0) {
        if (state_ != Running) state_ = Pending;
        return;
    }
    if (state_ == Running) return;
    state_ = Running;
    update();
    state_ = Idle;
}

int UpdatedObject::addDeferredNotification(NotifyEvent& event, void* sender) {
    notifications_.push_back({&event, false, sender});
    return static_cast<int>(notifications_.size()) - 1;
}

void UpdatedObject::notifyDeferred(int handle) {
    if (handle < 0 || handle >= static_cast<int>(notifications_.size())) return;
    notifications_[handle].pending = true;
    requestUpdate();
}

void UpdatedObject::fireDeferredNotifications() {
    for (DeferredNotification& n : notifications_) {
        if (!n.pending) continue;
        n.pending = false;
        n.event->fire(n.sender);
    }
}
