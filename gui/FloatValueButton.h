#pragma once

#include "gui/Button.h"
#include "gui/ValueDragMapper.h"

namespace gui {

// A button that edits a continuous value by dragging, vertically (up increases) or horizontally,
// through a drag mapper, with the modifier actions of a knob. It may hand a press over to its
// parent when the pointer moves across the drag axis, so that a scrolling container can take
// the gesture. [ui]
class FloatValueButton : public Button {
public:
    // Pixels across the drag axis after which the press goes to the parent.
    static constexpr int kHandOverPixels = 4;

    explicit FloatValueButton(UserInterface* ui, const Button::Style* style = nullptr);

    Property<bool> accelerate{this, true};
    bool horizontal = false;
    bool handsOverToParent = false;

    void propertyChanged(AbstractProperty* property) override;
    void valueRangeChanged(AbstractProperty* property) override;
    void mouseDown(int button, Point point, int flags) override;
    void mouseMove(Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;
    bool wheel(int phase, Point point, int flags, float speedX, float speedY, float pixelsX,
               float pixelsY) override;

    ValueDragMapper& mapper() { return mapper_; }
    bool isDragging() const { return dragging_; }

private:
    void handOver(Point point, int flags);

    ValueDragMapper mapper_;
    bool dragging_ = false;
    Point pressPoint_;
    Point last_;
};

}  // namespace gui
