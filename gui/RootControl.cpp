#include "gui/RootControl.h"

#include <algorithm>
#include <cmath>

#include "gui/Bitmap.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"

namespace gui {

RootControl::RootControl(UserInterface* ui) : Control(ui) {}

RootControl::~RootControl() {
    alive_->alive = false;
    if (capture_) capture_->captureState_ = NoCapture;
    capture_ = nullptr;
    eventTarget_ = this;
    if (wheelTimer_ && !isUiDestroying()) delete wheelTimer_;
    wheelTimer_ = nullptr;
}

void RootControl::paint(Canvas& canvas) {
    UserInterface* ui = userInterface();
    const Bitmap* background = ui ? ui->backgroundBitmap() : nullptr;
    if (background && !background->isEmpty())
        canvas.drawBitmap(*background, background->bounds(), {0, 0});
    else
        canvas.fillRect(localRect(), Rgba{192, 192, 192, 255});
}

void RootControl::setFocus(Control* control) {
    Control::setFocus(control);
    platformFocus();
}

void RootControl::invalidateInParent(const Rect& rect) {
    pendingWindowRect_ = pendingWindowRect_.united(rect);
    platformInvalidate(rect);
}

Rect RootControl::takePendingWindowRect() {
    const Rect r = pendingWindowRect_;
    pendingWindowRect_ = {};
    return r;
}

void RootControl::setCapture(Control* control) {
    if (control == capture_) return;
    Control* old = capture_;
    if (old) {
        if (wheelTimer_ && wheelTimer_->running) endWheelGesture();
        old->captureState_ = NoCapture;
    }
    capture_ = control;
    eventTarget_ = control ? control : this;
    if (control) control->captureState_ = MouseCapture;
    if (!old && control)
        platformCaptureChanged(true);
    else if (old && !control)
        platformCaptureChanged(false);
}

void RootControl::releaseForShutdown() {
    if (lockHeld_ && lockOwner_ == std::this_thread::get_id()) {
        lockHeld_ = false;
        leave();
    }
}

Point RootControl::toTarget(Point windowPoint) const {
    return windowPoint - eventTarget_->toRoot({0, 0});
}

bool RootControl::handleMouseDown(int button, Point point, int flags) {
    if (UserInterface* ui = userInterface()) {
        if (UserInterface::MouseHook* hook = ui->mouseHook();
            hook && !hook->mousePressed(button, point, flags))
            return false;
    }
    if (button == 0) buttonHeld_ = true;
    // A handler may close the window; the root is then gone before the second dispatch.
    const std::shared_ptr<AliveToken> alive = alive_;
    eventTarget_->dispatchMouseMove(toTarget(point), flags);
    if (alive->alive) eventTarget_->dispatchMouseDown(button, toTarget(point), flags);
    return true;
}

void RootControl::handleMouseMove(Point point, int flags) {
    eventTarget_->dispatchMouseMove(toTarget(point), flags);
}

void RootControl::handleMouseUp(int button, Point point, int flags) {
    // Only the left button's release ends the held press that cancelMode looks after.
    if (button == 0) buttonHeld_ = false;
    const std::shared_ptr<AliveToken> alive = alive_;
    eventTarget_->dispatchMouseMove(toTarget(point), flags);
    if (alive->alive) eventTarget_->dispatchMouseUp(button, toTarget(point), flags);
}

void RootControl::cancelMode() {
    if (!buttonHeld_) return;
    buttonHeld_ = false;
    Control* target = eventTarget_;
    const Point outside{-1, -1};
    Control* child = target->captureState_ != NoCapture ? nullptr : target->childAt(outside);
    if (!child) {
        setCapture(nullptr);
        target->mouseUp(0, outside, 0);
    } else {
        child->dispatchMouseUp(0, outside - child->bounds.get().topLeft(), 0);
    }
}

void RootControl::handleWheel(Point point, int flags, float speedX, float speedY, float pixelsX,
                              float pixelsY) {
    if (std::fabs(pixelsX) <= kWheelEpsilon && std::fabs(pixelsY) <= kWheelEpsilon) return;
    UserInterface* ui = userInterface();
    if (!wheelTimer_) {
        if (!ui) return;
        wheelTimer_ = ui->createTimer();
        wheelTimer_->interval = 500;
        wheelTimer_->firedEvent.setOwnerHandler(this, &RootControl::wheelTimerFired);
    }
    const std::shared_ptr<AliveToken> alive = alive_;
    if (!wheelTimer_->running) {
        eventTarget_->dispatchWheel(WheelBegin, toTarget(point), flags, 0, 0, 0, 0);
        if (!alive->alive) return;
    } else {
        wheelTimer_->running = false;
    }
    speedX = std::clamp(speedX, -1.0f, 1.0f);
    speedY = std::clamp(speedY, -1.0f, 1.0f);
    // The begin phase may have captured a control, which then is the target of the change.
    if (eventTarget_->dispatchWheel(WheelChange, toTarget(point), flags, speedX, speedY, pixelsX, pixelsY) &&
        alive->alive)
        wheelTimer_->running = true;
}

void RootControl::wheelTimerFired(void*) {
    endWheelGesture();
}

void RootControl::endWheelGesture() {
    if (wheelTimer_) wheelTimer_->running = false;
    Control* target = eventTarget_;
    const Point zero{0, 0};
    Control* handler = wheelControl_;
    wheelControl_ = nullptr;
    // A control that handled the gesture without taking the capture is not the event target: the
    // end goes to it, not to whatever lies at the target's origin.
    if (handler && handler != target && handler->captureState_ == NoCapture) {
        handler->wheel(WheelEnd, zero, 0, 0, 0, 0, 0);
        return;
    }
    if (target->captureState_ == NoCapture) {
        if (Control* child = target->childAt(zero)) {
            if (child->dispatchWheel(WheelEnd, zero - child->bounds.get().topLeft(), 0, 0, 0, 0, 0)) return;
        }
    }
    target->wheel(WheelEnd, zero, 0, 0, 0, 0, 0);
}

void RootControl::enterMessage() {
    if (lockDepth_++ == 0) {
        enter();
        lockHeld_ = true;
        lockOwner_ = std::this_thread::get_id();
    }
}

void RootControl::leaveMessage() {
    if (lockDepth_ <= 0) return;
    if (--lockDepth_ == 0 && lockHeld_) {
        lockHeld_ = false;
        leave();
    }
}

int RootControl::releaseLockCompletely() {
    const int depth = lockDepth_;
    if (lockHeld_) {
        lockHeld_ = false;
        leave();
    }
    lockDepth_ = 0;
    return depth;
}

void RootControl::restoreLock(int depth) {
    if (depth > 0) {
        enter();
        lockHeld_ = true;
        lockOwner_ = std::this_thread::get_id();
    }
    lockDepth_ = depth;
}

}  // namespace gui
