#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "gui/Control.h"
#include "platform/LockedObject.h"

namespace gui {

class Timer;

// The top of the control tree, one per editor window. It receives the platform's input in window
// coordinates and routes it to the event target (the capture control, or itself), owns the
// capture and the wheel gesture, and collects invalidations into the pending window rectangle
// that the platform layer repaints.
//
// Threads: [ui] is the editor's thread (window messages, timers, modal loops); [render] is the
// accelerated renderer's thread, which runs only while it holds the root's lock (LockedObject:
// enter/leave), so everything it calls sees the tree as the editor thread left it.
class RootControl : public Control, public LockedObject {
public:
    // Shared with running window-message handlers: cleared when the root is destroyed, so that a
    // handler whose message destroyed the root leaves the lock alone.
    struct AliveToken {
        std::atomic<bool> alive{true};
    };

    explicit RootControl(UserInterface* ui);
    ~RootControl() override;

    // [ui], or [render] holding the lock.
    void paint(Canvas& canvas) override;
    // [ui]
    void setFocus(Control* control) override;
    // [ui], or [render] holding the lock (animations and frame timers tick there).
    void invalidateInParent(const Rect& rect) override;

    // [ui]
    virtual void setCapture(Control* control);
    // Called before the window is torn down from inside a window message: gives up this thread's
    // hold on the lock once (the recorded depth stays).
    virtual void releaseForShutdown();

    // [ui] Platform input, inside enterMessage/leaveMessage; points in window coordinates. A press
    // answers false when the mouse hook vetoed it (it then had no effect at all).
    bool handleMouseDown(int button, Point point, int flags);
    void handleMouseMove(Point point, int flags);
    void handleMouseUp(int button, Point point, int flags);
    void handleWheel(Point point, int flags, float speedX, float speedY, float pixelsX, float pixelsY);
    // [ui] The control that handled the running wheel gesture's latest change: it hears the
    // gesture's end even when it took no capture (the wheel turned over it before any pointer move
    // gave it the hover). A control going away is forgotten.
    void wheelHandledBy(Control* control) { wheelControl_ = control; }
    void forgetWheelControl(const Control* control) {
        if (wheelControl_ == control) wheelControl_ = nullptr;
    }
    // [ui] The platform cancelled the mouse interaction (capture lost, modal loop started).
    void cancelMode();

    // [ui], or [render] holding the lock.
    Control* captureControl() const { return capture_; }
    Control* eventTarget() const { return eventTarget_; }
    bool isButtonHeld() const { return buttonHeld_; }
    Timer* wheelGestureTimer() const { return wheelTimer_; }

    // [ui], or [render] holding the lock. The union of everything invalidated since the last
    // repaint; the platform layer reads and clears it when it repaints.
    const Rect& pendingWindowRect() const { return pendingWindowRect_; }
    Rect takePendingWindowRect();

    // [ui] The lock serialising window messages with the render thread. A message holds it once
    // however deeply messages nest; modal loops (and a renderer stopping its thread) release it
    // completely and take it back with the same depth. lockDepth and aliveToken: [any].
    void enterMessage();
    void leaveMessage();
    int releaseLockCompletely();
    void restoreLock(int depth);
    int lockDepth() const { return lockDepth_; }
    std::shared_ptr<AliveToken> aliveToken() const { return alive_; }

protected:
    // Platform hooks: the capture went from none to a control (true) or back (false); the window
    // should repaint the rectangle; the window should take the keyboard focus.
    virtual void platformCaptureChanged(bool) {}
    virtual void platformInvalidate(const Rect&) {}
    virtual void platformFocus() {}

private:
    Point toTarget(Point windowPoint) const;
    void wheelTimerFired(void*);
    void endWheelGesture();

    int lockDepth_ = 0;
    std::thread::id lockOwner_;
    bool lockHeld_ = false;
    std::shared_ptr<AliveToken> alive_ = std::make_shared<AliveToken>();
    bool buttonHeld_ = false;
    Control* capture_ = nullptr;
    Control* eventTarget_ = this;
    Timer* wheelTimer_ = nullptr;
    Control* wheelControl_ = nullptr;
    Rect pendingWindowRect_;
};

}  // namespace gui
