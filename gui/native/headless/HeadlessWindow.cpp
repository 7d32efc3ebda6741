#include "gui/native/headless/HeadlessWindow.h"

#include <cmath>

#include "gui/native/headless/HeadlessWindowSystem.h"

namespace gui::native {

HeadlessWindow::HeadlessWindow(HeadlessWindowSystem& system, const Rect& bounds, WindowEvents& events)
    : system_(system), events_(events), bounds_(bounds) {}

HeadlessWindow::~HeadlessWindow() {
    system_.windowDestroyed(this);
}

uint32_t HeadlessWindow::now() const {
    return system_.clock().nowMs();
}

void HeadlessWindow::invalidate(const Rect& area) {
    invalid_ = invalid_.united(area.intersection({0, 0, bounds_.width(), bounds_.height()}));
}

void HeadlessWindow::present(const Bitmap& frame, const Rect&) {
    snapshot_.copyFrom(frame);
    ++presents_;
}

bool HeadlessWindow::isCursorInside() const {
    return cursor_ && Rect{0, 0, bounds_.width(), bounds_.height()}.contains(*cursor_);
}

void HeadlessWindow::startTimer(int id, int intervalMs) {
    // A zero interval would fire without end within one advance of the clock.
    const int interval = intervalMs > 0 ? intervalMs : 1;
    timers_[id] = TimerEntry{interval, now() + static_cast<uint32_t>(interval)};
}

bool HeadlessWindow::moveMouse(int x, int y, int keyState) {
    cursor_ = Point{x, y};
    if (!isCursorInside() && !captured_) return false;
    events_.pointerMoved(PointerMessage{{x, y}, keyState | buttons_, now()});
    return true;
}

void HeadlessWindow::pressButton(int button, int x, int y, int keyState) {
    cursor_ = Point{x, y};
    buttons_ |= buttonBit(button);
    events_.buttonPressed(ButtonMessage{button, {x, y}, keyState | buttons_, now(), false});
}

void HeadlessWindow::releaseButton(int button, int x, int y, int keyState) {
    cursor_ = Point{x, y};
    buttons_ &= ~buttonBit(button);
    if (!isCursorInside() && !captured_) return;
    events_.buttonReleased(ButtonMessage{button, {x, y}, keyState | buttons_, now(), false});
}

void HeadlessWindow::click(int x, int y, int keyState, int button) {
    pressButton(button, x, y, keyState);
    releaseButton(button, x, y, keyState);
}

void HeadlessWindow::turnWheel(float notches, int x, int y, int keyState, bool horizontal) {
    cursor_ = Point{x, y};
    WheelMessage m;
    m.delta = static_cast<int>(std::lround(notches * 120.0f));
    m.horizontal = horizontal;
    m.screenPoint = screenOrigin_ + Point{x, y};
    m.keyState = keyState | buttons_;
    m.timeMs = now();
    events_.wheelTurned(m);
}

void HeadlessWindow::moveCursorOutside() {
    cursor_ = Point{-1000, -1000};
    // A window holding the capture still hears where the pointer went.
    if (captured_) events_.pointerMoved(PointerMessage{*cursor_, buttons_, now()});
}

void HeadlessWindow::loseCapture() {
    if (!captured_) return;
    captured_ = false;
    events_.mouseInteractionCancelled();
}

void HeadlessWindow::resizeFromParent(const Rect& bounds) {
    bounds_ = bounds;
    events_.boundsChanged(bounds);
}

bool HeadlessWindow::deliverPaint() {
    if (invalid_.isEmpty()) return false;
    const Rect area = invalid_;
    invalid_ = {};
    events_.paintRequested(area);
    return true;
}

bool HeadlessWindow::nextDueTimer(uint32_t until, uint32_t& due, int& id) const {
    bool found = false;
    const uint32_t base = now();
    for (const auto& [timerId, entry] : timers_) {
        // Compare as distances from now so that the wrap of the counter does not matter.
        const uint32_t d = entry.due - base;
        if (d > until - base) continue;
        if (!found || d < due - base) {
            due = entry.due;
            id = timerId;
            found = true;
        }
    }
    return found;
}

void HeadlessWindow::fireTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second.due += static_cast<uint32_t>(it->second.interval);
    events_.timerFired(id);
}

}  // namespace gui::native
