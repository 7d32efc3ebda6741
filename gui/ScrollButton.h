#pragma once

#include <memory>

#include "gui/Button.h"
#include "platform/IntervalTimer.h"

namespace gui {

class ScrollArea;
class Timer;

// The arrow at one end of a scroll area. While pressed it scrolls at (pointer x - press x + 25)
// x 5 pixels per second away from its side; a drag hovering over it scrolls at 50, and at 150
// once it dwelled. The speed moves halfway to its target on every frame. [ui]
class ScrollButton : public Button {
public:
    enum Side { LeftSide = -1, RightSide = 1 };
    static constexpr int kFrameMs = 33;

    ScrollButton(UserInterface* ui, int side, const Button::Style* style = nullptr);
    ~ScrollButton() override;

    // The area it scrolls; not owned, forgotten when it goes.
    void setArea(ScrollArea* area);
    ScrollArea* area() const { return area_; }

    void linkRemoved(Component* component) override;
    void dragStateChanged(int state) override;
    void mouseDown(int button, Point point, int flags) override;
    void mouseMove(Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;

    int side() const { return side_; }
    // Pixels per second; negative scrolls left.
    float speed() const { return speed_; }
    float targetSpeed() const { return target_; }

private:
    void setTarget(float pixelsPerSecond);
    void frame(void*);

    ScrollArea* area_ = nullptr;
    int side_;
    Timer* timer_;
    std::unique_ptr<IntervalTimer> sinceFrame_;
    float speed_ = 0.0f;
    float target_ = 0.0f;
    int pressX_ = 0;
    bool scrolling_ = false;
};

}  // namespace gui
