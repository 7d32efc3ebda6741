#pragma once

#include "gui/Timer.h"

namespace gui {

class WindowInterface;

// A toolkit timer over one of the window's platform timers. UI thread.
class WindowTimer : public Timer {
public:
    explicit WindowTimer(WindowInterface& ui);
    ~WindowTimer() override;

    // 0 until first started.
    int platformId() const { return id_; }
    bool isPlatformTimerActive() const { return active_; }

protected:
    void stopPlatformTimer() override;
    void startPlatformTimer() override;

private:
    WindowInterface& windowUi_;
    int id_ = 0;
    bool active_ = false;
};

}  // namespace gui
