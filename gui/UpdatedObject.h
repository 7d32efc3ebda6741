#pragma once

#include <vector>

#include "core/NotifyEvent.h"

// Deferred-update base of toolkit objects. Changes request an update; while the object is locked
// (beginUpdate .. endUpdate) requests are only remembered and one update runs when the last lock
// goes. Deferred notifications are events that an update fires once however often they were
// requested meanwhile. UI thread (or the render thread while it holds the root control's lock).
class UpdatedObject {
public:
    UpdatedObject() = default;
    virtual ~UpdatedObject() = default;
    UpdatedObject(const UpdatedObject&) = delete;
    UpdatedObject& operator=(const UpdatedObject&) = delete;

    void beginUpdate() { ++lockCount_; }
    void endUpdate();
    // Runs the update now, or marks it pending while locked; a request made while the update runs is
    // dropped (the running update sees the change).
    void requestUpdate();

    int updateLockCount() const { return lockCount_; }
    bool isUpdatePending() const { return state_ == Pending; }

    // Registers an event to be fired by the update; answers its handle for notifyDeferred.
    int addDeferredNotification(NotifyEvent& event, void* sender);
    // Marks the notification pending and requests an update.
    void notifyDeferred(int handle);

protected:
    // Fires the pending deferred notifications; subclasses extend it.
    virtual void update() { fireDeferredNotifications(); }
    void fireDeferredNotifications();

private:
    enum State { Idle = 0, Pending = 1, Running = 2 };
    struct DeferredNotification {
        NotifyEvent* event;
        bool pending;
        void* sender;
    };

    std::vector<DeferredNotification> notifications_;
    int state_ = Idle;
    int lockCount_ = 0;
};
