#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/native/Window.h"

union _XEvent;
struct _XImage;

namespace gui::native {

class X11WindowSystem;

// A key as our drawn widgets need it: the X key symbol, the characters it types (UTF-8) and the
// toolkit's modifier flags (1 Shift, 2 Alt, 4 Ctrl).
struct KeyInput {
    unsigned long keysym = 0;
    std::string text;
    int flags = 0;
};

// One X window holding a toolkit root: a child of a foreign parent window (the way hosts embed
// editors) or a top-level window. Presents frames through a shared-memory image where the server
// offers MIT-SHM and a plain image otherwise. UI thread.
class X11Window : public Window {
public:
    using XWindowId = unsigned long;

    // Embedded: a child of the parent, or top-level without one. Popup: an override-redirect window
    // (menus; bounds in screen coordinates). Dialog: a top-level window kept above the owner's
    // top-level window (parent names the owner).
    enum class Kind { Embedded, Popup, Dialog };

    X11Window(X11WindowSystem& system, XWindowId parent, const Rect& bounds, WindowEvents& events,
              Kind kind = Kind::Embedded, const std::string& title = std::string());
    ~X11Window() override;

    Rect bounds() const override { return bounds_; }
    void setBounds(const Rect& bounds) override;
    Point screenOrigin() const override;
    void invalidate(const Rect& area) override;
    void present(const Bitmap& frame, const Rect& area) override;
    void setMouseCapture(bool captured) override;
    void takeFocus() override;
    bool isCursorInside() const override;
    void startTimer(int id, int intervalMs) override;
    void stopTimer(int id) override { timers_.erase(id); }

    XWindowId id() const { return window_; }
    // The top-level window this one lives in (itself when it is top-level).
    XWindowId topLevelAncestor() const;
    bool isTopLevel() const { return topLevel_; }
    bool hasCapture() const { return captured_; }
    bool isTimerRunning(int id) const { return timers_.count(id) != 0; }
    int presentCount() const { return presents_; }
    // The pointer grab was taken away (a modal pop-up grabbed it, the window became unviewable);
    // the toolkit hears of it as a cancelled interaction on the next round of the loop.
    void loseCapture();
    // Called when the user asks the window manager to close a top-level window.
    std::function<void()> closeRequested;
    // Keys typed into this window go here when set; otherwise an embedded window passes them on
    // to the top-level window it is embedded in.
    std::function<void(const KeyInput&)> keyHandler;

    // For the window system's loop.
    void handleEvent(_XEvent& event);
    // The next due time of this window's timers (relative to now, ms), or -1 without timers.
    int msUntilNextTimer(uint32_t now) const;
    // The timers due at now, rescheduled; the caller fires them while the window still exists.
    std::vector<int> dueTimers(uint32_t now);
    void fireTimer(int id);
    // Reports a grab lost since the last call, then the area invalidated or exposed meanwhile.
    void deliverPaint();

private:
    void releaseImage();
    bool ensureImage(int width, int height);
    void forwardKey(_XEvent& event);
    int keyState(unsigned int state) const;

    struct TimerEntry {
        int interval;
        uint32_t due;
    };

    X11WindowSystem& system_;
    WindowEvents& events_;
    XWindowId window_ = 0;
    XWindowId parent_ = 0;
    bool topLevel_ = false;
    Rect bounds_;
    Rect invalid_;
    bool mapped_ = false;
    bool focusWanted_ = false;
    bool captured_ = false;
    // The grab went away without the toolkit asking; reported on the next round of the loop.
    bool captureLost_ = false;
    std::map<int, TimerEntry> timers_;
    void* gc_ = nullptr;
    _XImage* image_ = nullptr;
    // The MIT-SHM segment behind image_, when shared.
    struct ShmSegment;
    ShmSegment* shm_ = nullptr;
    std::vector<uint32_t> plainPixels_;
    int presents_ = 0;
};

}  // namespace gui::native
