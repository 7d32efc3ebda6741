#pragma once

#include <map>
#include <optional>

#include "gui/native/Window.h"
#include "gui/native/headless/HeadlessBitmap.h"

namespace gui::native {

class HeadlessWindowSystem;

// A window in memory. Tests inject input as the platform's messages would arrive (points in
// window coordinates, key state, the clock's time, buttons added to the key state while held);
// timers run on the window system's manual clock; present keeps a snapshot of the frame.
class HeadlessWindow : public Window {
public:
    HeadlessWindow(HeadlessWindowSystem& system, const Rect& bounds, WindowEvents& events);
    ~HeadlessWindow() override;

    Rect bounds() const override { return bounds_; }
    void setBounds(const Rect& bounds) override { bounds_ = bounds; }
    Point screenOrigin() const override { return screenOrigin_; }
    void invalidate(const Rect& area) override;
    void present(const Bitmap& frame, const Rect& area) override;
    void setMouseCapture(bool captured) override { captured_ = captured; }
    void takeFocus() override { focused_ = true; }
    bool isCursorInside() const override;
    void startTimer(int id, int intervalMs) override;
    void stopTimer(int id) override { timers_.erase(id); }

    // Injected input. Mouse messages reach the window while the cursor is inside it or while it
    // holds the capture, as on a real window system; moveMouse answers whether one was sent.
    bool moveMouse(int x, int y, int keyState = 0);
    void pressButton(int button, int x, int y, int keyState = 0);
    void releaseButton(int button, int x, int y, int keyState = 0);
    // A click: press and release at the same point.
    void click(int x, int y, int keyState = 0, int button = LeftButton);
    // notches: 1 is one detent away from the user (up); the point is in window coordinates.
    void turnWheel(float notches, int x, int y, int keyState = 0, bool horizontal = false);
    // The cursor leaves the window; only a window holding the capture gets a message about it.
    void moveCursorOutside();
    // The platform takes the capture away (another window grabbed the mouse).
    void loseCapture();
    // The parent resizes the window.
    void resizeFromParent(const Rect& bounds);
    void setScreenOrigin(Point origin) { screenOrigin_ = origin; }

    // Delivers a pending repaint; answers whether there was one.
    bool deliverPaint();

    bool hasCapture() const { return captured_; }
    bool hasFocus() const { return focused_; }
    std::optional<Point> cursor() const { return cursor_; }
    const Rect& invalidArea() const { return invalid_; }
    // The frame as last presented, and how many frames were presented.
    const HeadlessBitmap& snapshot() const { return snapshot_; }
    int presentCount() const { return presents_; }
    bool isTimerRunning(int id) const { return timers_.count(id) != 0; }
    int timerCount() const { return static_cast<int>(timers_.size()); }

    // For the window system's clock: the earliest timer due at or before the time.
    bool nextDueTimer(uint32_t until, uint32_t& due, int& id) const;
    void fireTimer(int id);

private:
    uint32_t now() const;

    struct TimerEntry {
        int interval;
        uint32_t due;
    };

    HeadlessWindowSystem& system_;
    WindowEvents& events_;
    Rect bounds_;
    Point screenOrigin_{100, 100};
    Rect invalid_;
    bool captured_ = false;
    bool focused_ = false;
    std::optional<Point> cursor_;
    int buttons_ = 0;
    std::map<int, TimerEntry> timers_;
    HeadlessBitmap snapshot_;
    int presents_ = 0;
};

}  // namespace gui::native
