#include "gui/Timer.h"

#include "gui/UserInterface.h"

namespace gui {

Timer::Timer(UserInterface* ui) : Component(ui) {}

Timer::~Timer() {
    if (UserInterface* ui = userInterface()) ui->removeFrameTimer(this);
}

void Timer::propertyChanged(AbstractProperty* property) {
    if (property == &running || property == &interval || property == &frameSynchronized) apply();
}

void Timer::deferredCall(int code, int) {
    if (code == 0) apply();
}

void Timer::apply() {
    UserInterface* ui = userInterface();
    if (!ui) return;
    if (!ui->isUiThread()) {
        ui->postDeferred(this, 0, 0);
        return;
    }
    ui->removeFrameTimer(this);
    stopPlatformTimer();
    if (!running || interval <= 0) return;
    if (frameSynchronized && ui->accelerated)
        ui->addFrameTimer(this);
    else
        startPlatformTimer();
}

}  // namespace gui
