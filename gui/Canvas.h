#pragma once

#include "gui/Point.h"
#include "gui/Rect.h"
#include "gui/Rgba.h"

namespace gui {

class Bitmap;

// What a control paints through: a clip rectangle and an origin, both relative to the painting
// control, the opacity inherited from its ancestors, and the drawing target the primitives go to.
// Each primitive clips, moves by the origin and scales by the opacity before it reaches the target.
class Canvas {
public:
    // A drawing target (a bitmap or a renderer). Coordinates arrive in target space, already
    // clipped; opacities and colours already carry the canvas opacity.
    class Owner {
    public:
        virtual ~Owner() = default;
        virtual void drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) = 0;
        virtual void fillRect(const Rect& rect, Rgba colour) = 0;
    };

    // Clip, opacity and origin, saved and restored as a unit around each child.
    struct State {
        Rect clip;
        int opacity = 255;
        Point origin;
    };

    explicit Canvas(Owner* owner = nullptr) : owner_(owner) {}

    Owner* owner() const { return owner_; }
    void setOwner(Owner* owner) { owner_ = owner; }

    const Rect& clip() const { return state_.clip; }
    void setClip(const Rect& clip) { state_.clip = clip; }
    int opacity() const { return state_.opacity; }
    void setOpacity(int opacity) { state_.opacity = opacity; }
    Point origin() const { return state_.origin; }
    void setOrigin(Point origin) { state_.origin = origin; }

    State saveState() const { return state_; }
    void restoreState(const State& state) { state_ = state; }

    // The source point moves with the part of the destination that the clip cuts away.
    void drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity = 255);
    void fillRect(const Rect& rect, Rgba colour);

    // A weight 0..255 applied to a byte, 255 counting as a full 256/256.
    static int scale(int value, int weight) { return (value * (weight + (weight >> 7))) >> 8; }

private:
    Owner* owner_;
    State state_;
};

}  // namespace gui
