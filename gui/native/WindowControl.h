#pragma once

#include <memory>

#include "gui/RootControl.h"
#include "gui/native/Window.h"

namespace gui {

class Bitmap;
class WindowInterface;
class WindowMessageHook;

// The root control of a native window: turns the window's messages into root input (modifier
// flags, double-clicks, wheel speed and distance, capture loss), runs the 50 ms housekeeping
// tick, and paints the pending rectangle into its back buffer and presents it. UI thread.
class WindowControl : public RootControl {
public:
    static constexpr int kHousekeepingTimerId = 1;
    static constexpr int kHousekeepingIntervalMs = 50;
    static constexpr float kPixelsPerNotch = 25.0f;

    WindowControl(WindowInterface& ui, native::Window& window);
    ~WindowControl() override;

    void resized() override;

    void setMessageHook(WindowMessageHook* hook) { hook_ = hook; }

    // Message translation.
    void pointerMoved(const native::PointerMessage& message);
    void buttonPressed(const native::ButtonMessage& message);
    void buttonReleased(const native::ButtonMessage& message);
    void wheelTurned(const native::WheelMessage& message);
    void housekeeping();
    // Paints what is pending (and the area) into the back buffer and presents the whole buffer.
    void paintWindow(const Rect& area);

    // The toolkit flags for a message's key state.
    int modifierFlags(int keyState) const;
    const Bitmap* backBuffer() const { return backBuffer_.get(); }

protected:
    void platformCaptureChanged(bool captured) override;
    void platformInvalidate(const Rect& rect) override;
    void platformFocus() override;

private:
    bool isDoubleClick(const native::ButtonMessage& message) const;
    void rememberPress(const native::ButtonMessage& message, bool wasDouble);

    WindowInterface& windowUi_;
    native::Window& window_;
    WindowMessageHook* hook_ = nullptr;
    uint32_t lastWheelTime_[2] = {0, 0};
    bool haveWheelTime_[2] = {false, false};
    std::unique_ptr<Bitmap> backBuffer_;
    // The last press, for double-click detection.
    int lastPressButton_ = -1;
    Point lastPressPoint_;
    uint32_t lastPressTime_ = 0;
    bool lastPressWasDouble_ = false;
};

}  // namespace gui
