#include "gui/native/WindowTimer.h"

#include "gui/native/WindowInterface.h"

namespace gui {

WindowTimer::WindowTimer(WindowInterface& ui) : Timer(&ui), windowUi_(ui) {}

WindowTimer::~WindowTimer() {
    stopPlatformTimer();
}

void WindowTimer::stopPlatformTimer() {
    if (!active_) return;
    active_ = false;
    windowUi_.window().stopTimer(id_);
    windowUi_.timerStopped(id_);
}

void WindowTimer::startPlatformTimer() {
    if (id_ == 0) id_ = windowUi_.allocateTimerId();
    active_ = true;
    windowUi_.timerStarted(id_, this);
    windowUi_.window().startTimer(id_, interval);
}

}  // namespace gui
