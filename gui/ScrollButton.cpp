#include "gui/ScrollButton.h"

#include <cmath>

#include "gui/ScrollArea.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"

namespace gui {

namespace {
constexpr float kPressBase = 25.0f;
constexpr float kPressFactor = 5.0f;
constexpr float kDragHover = 50.0f;
constexpr float kDragDwell = 150.0f;
// A speed this slow with nothing driving it stops.
constexpr float kStopSpeed = 5.0f;
}  // namespace

ScrollButton::ScrollButton(UserInterface* ui, int side, const Button::Style* style)
    : Button(ui, style),
      side_(side < 0 ? LeftSide : RightSide),
      timer_(ui->createTimer()),
      sinceFrame_(IntervalTimer::create(ui->clock())) {
    timer_->frameSynchronized = true;
    timer_->interval = kFrameMs;
    timer_->firedEvent.setOwnerHandler(this, &ScrollButton::frame);
}

ScrollButton::~ScrollButton() {
    delete timer_;
}

void ScrollButton::setArea(ScrollArea* area) {
    area_ = area;
    if (area_) link(area_);
}

void ScrollButton::linkRemoved(Component* component) {
    if (component == area_) area_ = nullptr;
    Button::linkRemoved(component);
}

void ScrollButton::setTarget(float pixelsPerSecond) {
    target_ = pixelsPerSecond;
    if (target_ != 0.0f && !timer_->running) {
        sinceFrame_->restart();
        timer_->running = true;
    }
}

void ScrollButton::frame(void*) {
    const float seconds = static_cast<float>(sinceFrame_->elapsedMs()) / 1000.0f;
    sinceFrame_->restart();
    speed_ += (target_ - speed_) / 2.0f;
    if (target_ == 0.0f && std::fabs(speed_) <= kStopSpeed) {
        speed_ = 0.0f;
        timer_->running = false;
    }
    if (area_) area_->scrollBy(speed_ * seconds);
}

void ScrollButton::dragStateChanged(int state) {
    const float s = static_cast<float>(side_);
    switch (state) {
        case DragEntered:
            setTarget(s * kDragHover);
            break;
        case DragDwelled:
            setTarget(s * kDragDwell);
            break;
        case DragLeft:
        case DragEnded:
            setTarget(0.0f);
            break;
        default:
            break;
    }
}

void ScrollButton::mouseDown(int button, Point point, int flags) {
    Button::mouseDown(button, point, flags);
    if (button != 0) return;
    scrolling_ = true;
    pressX_ = point.x;
    setTarget((static_cast<float>(point.x - pressX_) + static_cast<float>(side_) * kPressBase) *
              kPressFactor);
}

void ScrollButton::mouseMove(Point point, int flags) {
    Button::mouseMove(point, flags);
    if (scrolling_)
        setTarget((static_cast<float>(point.x - pressX_) + static_cast<float>(side_) * kPressBase) *
                  kPressFactor);
}

void ScrollButton::mouseUp(int button, Point point, int flags) {
    if (button == 0 && scrolling_) {
        scrolling_ = false;
        setTarget(0.0f);
    }
    Button::mouseUp(button, point, flags);
}

}  // namespace gui
