#pragma once

#include <cstdint>

#include "gui/Point.h"
#include "gui/Rect.h"

namespace gui {
class Bitmap;
}

namespace gui::native {

// Key and button state carried by a platform mouse message.
enum KeyState {
    KeyShift = 1,
    KeyCtrl = 2,
    KeyAlt = 4,
    KeySystem = 8,
    ButtonLeft = 16,
    ButtonRight = 32,
    ButtonMiddle = 64
};

// Buttons as platform messages number them.
enum Button { LeftButton = 0, RightButton = 1, MiddleButton = 2 };

// The key-state bit of a platform button.
inline int buttonBit(int button) {
    switch (button) {
        case LeftButton:
            return ButtonLeft;
        case RightButton:
            return ButtonRight;
        default:
            return ButtonMiddle;
    }
}

// Points are in window coordinates; times come from the window system's clock.
struct PointerMessage {
    Point point;
    int keyState = 0;
    uint32_t timeMs = 0;
};

struct ButtonMessage {
    int button = LeftButton;
    Point point;
    int keyState = 0;
    uint32_t timeMs = 0;
    // Set by platforms that detect double-clicks themselves; otherwise the toolkit does, from
    // the double-click time and distance.
    bool doubleClick = false;
};

struct WheelMessage {
    // Signed distance, 120 per notch.
    int delta = 0;
    bool horizontal = false;
    // The pointer in screen coordinates.
    Point screenPoint;
    int keyState = 0;
    uint32_t timeMs = 0;
};

// What a native window reports to the toolkit. All calls arrive on the UI thread.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void pointerMoved(const PointerMessage& message) = 0;
    virtual void buttonPressed(const ButtonMessage& message) = 0;
    virtual void buttonReleased(const ButtonMessage& message) = 0;
    virtual void wheelTurned(const WheelMessage& message) = 0;
    // The platform took the mouse away (capture lost, a modal loop began).
    virtual void mouseInteractionCancelled() = 0;
    virtual void timerFired(int id) = 0;
    // The window needs the area repainted and presented.
    virtual void paintRequested(const Rect& area) = 0;
    // The window was moved or resized by its parent; bounds in the parent's coordinates.
    virtual void boundsChanged(const Rect& bounds) = 0;
};

// One native child window holding the toolkit's root control. UI thread.
class Window {
public:
    virtual ~Window() = default;

    // Position and size in the parent window.
    virtual Rect bounds() const = 0;
    virtual void setBounds(const Rect& bounds) = 0;
    // The window's top-left corner on the screen.
    virtual Point screenOrigin() const = 0;

    // Asks for a paintRequested covering the area (window coordinates) soon.
    virtual void invalidate(const Rect& area) = 0;
    // Shows the frame; area is the part that changed.
    virtual void present(const Bitmap& frame, const Rect& area) = 0;

    // While captured, the window receives the mouse even outside its rectangle.
    virtual void setMouseCapture(bool captured) = 0;
    virtual void takeFocus() = 0;
    virtual bool isCursorInside() const = 0;

    // Periodic timers reported through timerFired (id); starting a running id restarts it.
    virtual void startTimer(int id, int intervalMs) = 0;
    virtual void stopTimer(int id) = 0;
};

}  // namespace gui::native
