#pragma once

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/Component.h"

namespace gui {

// A periodic timer that ticks on the UI thread. Set interval and frame-synchronized, then running
// to start or stop it. Property changes may come from any thread; off the UI thread they take
// effect later, on the UI thread. The platform variant supplies the platform timer.
class Timer : public Component {
public:
    explicit Timer(UserInterface* ui);
    ~Timer() override;

    Property<bool> running{this, false};
    Property<int> interval{this, 1000};
    Property<bool> frameSynchronized{this, false};

    // Reports each tick; sender = the timer. UI thread.
    NotifyEvent firedEvent;

    void propertyChanged(AbstractProperty* property) override;
    void deferredCall(int code, int value) override;

    // A tick from the platform timer or the frame clock. UI thread (or the render thread).
    void fire() { firedEvent.fire(this); }

protected:
    virtual void stopPlatformTimer() = 0;
    virtual void startPlatformTimer() = 0;

private:
    void apply();
};

}  // namespace gui
