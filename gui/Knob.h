#pragma once

#include <array>

#include "gui/Bitmap.h"
#include "gui/Component.h"
#include "gui/RolloverValueControl.h"
#include "gui/ValueDragMapper.h"

namespace gui {

// A rotary knob. Dragging on the ring near the pointer mark turns the pointer with the mouse;
// dragging anywhere else on the body moves the value linearly (up increases). A knob drawn as a
// bare ring (no body picture) jumps to the angle that is clicked. Angles are in turns, clockwise
// from 12 o'clock; the sweep is centred on 6 o'clock's opposite, turned by the offset. [ui]
class Knob : public RolloverValueControl {
public:
    enum Image {
        Body = 0,
        BodyHovered = 1,
        Pointer = 2,
        PointerHovered = 3,
        PointerOnMark = 4,
        PointerDragged = 5
    };
    enum DragMode { NoDrag = 0, LinearDrag = 1, RotaryDrag = 2 };
    enum HoverZone { Outside = 0, OverKnob = 1, OverMark = 2 };

    class Style : public Component {
    public:
        explicit Style(UserInterface* ui) : Component(ui) {}

        // Degrees either side of the pointer mark that grab it.
        float grabMargin = 30.0f;
        // The ring that can be grabbed, in pixels from the centre.
        int outerRadius = 0;
        int innerRadius = 0;
        // Shrinks the local bounds on every side.
        int inset = 0;
        // Not owned; the pointer picture also gives the knob's size.
        std::array<const Bitmap*, 6> images{};
    };

    explicit Knob(UserInterface* ui, const Style* style = nullptr);

    Property<bool> accelerate{this, true};
    // A rotary drag never jumps across the gap between the ends.
    bool jumpGuard = true;
    Property<int> sweep{this, 300};
    Property<int> rotationOffset{this, 0};
    Property<float> fineFactor{this, 0.1f};

    void propertyChanged(AbstractProperty* property) override;
    void valueRangeChanged(AbstractProperty* property) override;
    Rect getLocalBounds() const override;
    void paintInState(Canvas& canvas, int state) override;
    int hitAlpha(Point point) const override;
    void mouseDown(int button, Point point, int flags) override;
    void mouseEntered() override;
    void mouseExited() override;
    void mouseMove(Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;
    bool wheel(int phase, Point point, int flags, float speedX, float speedY, float pixelsX,
               float pixelsY) override;
    void paint(Canvas& canvas) override;

    const Style* style() const { return style_; }
    void setStyle(const Style* style);

    // Geometry, in turns.
    Point centre() const { return {width() / 2, height() / 2}; }
    float pointerAngle(Point point) const;
    float angleOfValue(int v) const;
    int valueOfAngle(float angle) const;
    // Whether the point lies on the grab ring within halfWidth degrees of the angle.
    bool isOnRing(Point point, float angle, float halfWidth) const;

    float currentAngle() const { return angle_; }
    int dragMode() const { return dragMode_; }
    int hoverZone() const { return hoverZone_; }
    ValueDragMapper& mapper() { return mapper_; }
    // Which pointer picture the knob shows now.
    int pointerImage() const;

private:
    const Bitmap* image(int index) const;
    void setHoverZone(int zone);
    void renderPointer(int index);

    const Style* style_ = nullptr;
    float angle_ = 0.0f;
    ValueDragMapper mapper_;
    int dragMode_ = NoDrag;
    Bitmap pointerBitmap_;
    struct CacheKey {
        float angle = -1.0f;
        int image = -1;
        int dragMode = -1;
    } cache_;
    float pressPointerAngle_ = 0.0f;
    float pressValueAngle_ = 0.0f;
    int lastY_ = 0;
    int hoverZone_ = Outside;
    // A press on a bare ring that did not grab the mark: the release jumps to its angle.
    bool clickToAngle_ = false;
};

}  // namespace gui
