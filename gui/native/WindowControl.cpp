#include "gui/native/WindowControl.h"

#include <algorithm>
#include <cstdlib>

#include "gui/Bitmap.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/WindowMessageHook.h"

namespace gui {

WindowControl::WindowControl(WindowInterface& ui, native::Window& window)
    : RootControl(&ui), windowUi_(ui), window_(window), backBuffer_(ui.createBitmap()) {
    window_.takeFocus();
    window_.startTimer(kHousekeepingTimerId, kHousekeepingIntervalMs);
}

WindowControl::~WindowControl() {
    window_.stopTimer(kHousekeepingTimerId);
    if (captureControl()) window_.setMouseCapture(false);
    windowUi_.rootDestroyed();
}

void WindowControl::resized() {
    if (backBuffer_) backBuffer_->setSize(width(), height());
    const Rect b = bounds.get();
    const Rect now = window_.bounds();
    if (now.width() != b.width() || now.height() != b.height())
        window_.setBounds(Rect::ofSize(now.left, now.top, b.width(), b.height()));
    invalidateAll();
}

int WindowControl::modifierFlags(int keyState) const {
    int flags = 0;
    if (keyState & native::KeyShift) flags |= Shift;
    if (keyState & native::KeyCtrl) flags |= Ctrl;
    if (keyState & native::ButtonLeft) flags |= LeftButton;
    if (keyState & native::ButtonRight) flags |= RightButton;
    if (keyState & native::ButtonMiddle) flags |= MiddleButton;
    if (keyState & native::KeyAlt) flags |= Alt;
    if (keyState & native::KeySystem) flags |= SystemKey;
    return flags;
}

void WindowControl::pointerMoved(const native::PointerMessage& m) {
    int flags = modifierFlags(m.keyState);
    if (hook_) hook_->adjustModifiers(flags);
    handleMouseMove(m.point, flags);
}

bool WindowControl::isDoubleClick(const native::ButtonMessage& m) const {
    if (m.doubleClick) return true;
    // A third press starts a new pair.
    if (m.button != lastPressButton_ || lastPressWasDouble_) return false;
    const int distance = windowUi_.doubleClickDistance();
    const uint32_t elapsed = m.timeMs - lastPressTime_;
    return elapsed <= static_cast<uint32_t>(windowUi_.doubleClickTime()) &&
           std::abs(m.point.x - lastPressPoint_.x) <= distance &&
           std::abs(m.point.y - lastPressPoint_.y) <= distance;
}

void WindowControl::rememberPress(const native::ButtonMessage& m, bool wasDouble) {
    lastPressButton_ = m.button;
    lastPressPoint_ = m.point;
    lastPressTime_ = m.timeMs;
    lastPressWasDouble_ = wasDouble;
}

void WindowControl::buttonPressed(const native::ButtonMessage& m) {
    const bool isDouble = isDoubleClick(m);
    if (m.button == native::MiddleButton) {
        rememberPress(m, isDouble);
        return;
    }
    int flags = modifierFlags(m.keyState);
    if (isDouble && m.button == native::LeftButton) flags |= DoubleClick;
    if (hook_) hook_->adjustModifiers(flags);
    // A press the mouse hook swallowed does not count towards a double-click either.
    // The press may close the window; then there is nothing left to remember it in.
    const std::shared_ptr<AliveToken> alive = aliveToken();
    if (handleMouseDown(m.button, m.point, flags) && alive->alive) rememberPress(m, isDouble);
}

void WindowControl::buttonReleased(const native::ButtonMessage& m) {
    if (m.button == native::MiddleButton) return;
    int flags = modifierFlags(m.keyState);
    if (hook_) hook_->adjustModifiers(flags);
    handleMouseUp(m.button, m.point, flags);
}

void WindowControl::wheelTurned(const native::WheelMessage& m) {
    int flags = modifierFlags(m.keyState);
    bool horizontal = m.horizontal;
    // Shift+Ctrl turns the vertical wheel into a horizontal one.
    if (!horizontal && (flags & (Shift | Ctrl)) == (Shift | Ctrl)) {
        horizontal = true;
        flags &= ~(Shift | Ctrl);
    }
    if (hook_) hook_->adjustModifiers(flags);
    const int axis = horizontal ? 0 : 1;
    // The first message of an axis counts as slow.
    const uint32_t sinceLast = haveWheelTime_[axis] ? m.timeMs - lastWheelTime_[axis] : 500u;
    lastWheelTime_[axis] = m.timeMs;
    haveWheelTime_[axis] = true;
    const float t = static_cast<float>(std::clamp<uint32_t>(sinceLast, 10u, 500u));
    const float notches = static_cast<float>(m.delta) / 120.0f;
    const float speed = notches * (10.0f / t) * 0.1f;
    const float pixels = notches * kPixelsPerNotch;
    const Point point = m.screenPoint - window_.screenOrigin();
    if (horizontal)
        handleWheel(point, flags, speed, 0, pixels, 0);
    else
        handleWheel(point, flags, 0, speed, 0, pixels);
}

void WindowControl::housekeeping() {
    const std::shared_ptr<AliveToken> alive = aliveToken();
    if (hoverTarget() && !captureControl() && !window_.isCursorInside()) setHover(nullptr);
    if (alive->alive) windowUi_.processEvents();
}

void WindowControl::paintWindow(const Rect& area) {
    if (!backBuffer_) return;
    if (backBuffer_->width() != width() || backBuffer_->height() != height())
        backBuffer_->setSize(width(), height());
    const Rect dirty = takePendingWindowRect().united(area).intersection(localRect());
    if (!dirty.isEmpty()) {
        Canvas& canvas = backBuffer_->canvas();
        const Canvas::State saved = canvas.saveState();
        canvas.setOrigin({0, 0});
        canvas.setOpacity(255);
        canvas.setClip(dirty);
        paintTree(canvas);
        canvas.restoreState(saved);
    }
    window_.present(*backBuffer_, dirty);
}

void WindowControl::platformCaptureChanged(bool captured) {
    window_.setMouseCapture(captured);
}

void WindowControl::platformInvalidate(const Rect& rect) {
    window_.invalidate(rect);
}

void WindowControl::platformFocus() {
    window_.takeFocus();
}

}  // namespace gui
