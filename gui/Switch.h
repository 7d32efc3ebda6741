#pragma once

#include "gui/Bitmap.h"
#include "gui/Component.h"
#include "gui/RolloverValueControl.h"
#include "gui/ValueDragMapper.h"

namespace gui {

// A handle on a track: a switch of a few positions, or a slider when the range has 100 steps or
// more. Vertical when at least as high as wide; a vertical slider has its maximum at the top. The
// handle follows the pointer, clicking a switch's track selects the position clicked. [ui]
class Switch : public RolloverValueControl {
public:
    enum Orientation { Horizontal = 0, Vertical = 1 };

    class Style : public Component {
    public:
        explicit Style(UserInterface* ui) : Component(ui) {}
        // Not owned.
        const Bitmap* track = nullptr;
        const Bitmap* trackHovered = nullptr;
        const Bitmap* handle = nullptr;
        const Bitmap* handleHovered = nullptr;
    };

    explicit Switch(UserInterface* ui, const Style* style = nullptr);

    // The length along the axis follows the range and the pictures.
    Property<bool> autoSize{this, true};

    void propertyChanged(AbstractProperty* property) override;
    void valueRangeChanged(AbstractProperty* property) override;
    void resized() override;
    void mouseDown(int button, Point point, int flags) override;
    void mouseExited() override;
    void mouseMove(Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;
    bool wheel(int phase, Point point, int flags, float speedX, float speedY, float pixelsX,
               float pixelsY) override;
    void paint(Canvas& canvas) override;

    const Style* style() const { return style_; }
    void setStyle(const Style* style);

    int orientation() const { return orientation_; }
    int travel() const { return travel_; }
    Point handlePosition() const { return {handleX_, handleY_}; }
    Rect handleRect() const;
    bool isSlider() const;
    // The value whose handle stands at q pixels along the axis.
    int valueAtPosition(int q) const;
    // The length along the axis that auto-size gives.
    int autoLength() const;
    bool isDragging() const { return dragging_; }
    int handleLevel() const { return handleRollover_.level(); }
    ValueDragMapper& mapper() { return mapper_; }

private:
    Point handleSize() const;
    void layout();
    void applyAutoSize();

    bool positioning_ = false;
    int handleX_ = 0;
    int handleY_ = 0;
    Rollover handleRollover_;
    int pressValue_ = 0;
    int target_ = 0;
    ValueDragMapper mapper_;
    Point lastPosition_;
    const Style* style_ = nullptr;
    int orientation_ = Horizontal;
    int travel_ = 0;
    bool dragging_ = false;
    bool dragFromHandle_ = false;
    bool trackPressed_ = false;
};

}  // namespace gui
