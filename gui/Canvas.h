#pragma once

#include "gui/Point.h"
#include "gui/Rect.h"
#include "gui/Rgba.h"

namespace gui {

class Bitmap;
class Text;
struct CurveSet;

// What a control paints through: a clip rectangle and an origin, both relative to the painting
// control, the opacity inherited from its ancestors, and the drawing target the primitives go to.
// Each primitive clips, moves by the origin and scales by the opacity before it reaches the target.
// The thread that paints (UI thread, or the render thread under the root control's lock).
class Canvas {
public:
    // A drawing target (a bitmap or a renderer). Coordinates arrive in target space, already
    // clipped; opacities and colours already carry the canvas opacity. Lines and curves get the
    // clip in target space, since their coverage is only known to the target.
    class Owner {
    public:
        virtual ~Owner() = default;
        virtual void drawBitmap(const Bitmap& bitmap, const Rect& destination, Point source, int opacity) = 0;
        // A and B cross-faded by mix (0 shows A, 255 shows B), then composed with the opacity.
        virtual void drawBlend(const Bitmap& a, const Rect& destination, Point sourceA, const Bitmap& b,
                               Point sourceB, int mix, int opacity) = 0;
        virtual void drawLine(float x1, float y1, float x2, float y2, Rgba colour, float thickness,
                              const Rect& clip) = 0;
        // The curves are functions of x in the painting control's coordinates; origin moves them
        // into target space.
        virtual void drawCurves(const CurveSet& curves, const Rect& rect, Point origin, bool transposed,
                                int opacity) = 0;
        virtual void fillRect(const Rect& rect, Rgba colour) = 0;
        virtual Rgba getPixel(Point point) const = 0;
        virtual void blendPixel(Point point, Rgba colour) = 0;
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
    void drawBlend(const Bitmap& a, const Rect& destination, Point sourceA, const Bitmap& b, Point sourceB,
                   int mix);
    // The text's bitmap with its top-left corner at the point.
    void drawText(Text& text, Point at, int opacity = 255);
    void fillRect(const Rect& rect, Rgba colour);
    void drawHLine(int x1, int y, int x2, Rgba colour);
    void drawVLine(int x, int y1, int y2, Rgba colour);
    // A frame of the thickness just outside the rectangle.
    void drawFrame(const Rect& rect, Rgba colour, int thickness = 1);
    // Pixel centres lie at whole coordinates plus one half.
    void drawLine(Point from, Point to, Rgba colour, float thickness = 1.0f);
    void drawLine(float x1, float y1, float x2, float y2, Rgba colour, float thickness = 1.0f);
    void drawCurves(const CurveSet& curves, const Rect& rect, bool transposed = false, int opacity = 255);
    // Three-slice stretch: caps at both ends drawn 1:1, the middle tiled, never scaled.
    void drawStretched(const Bitmap& bitmap, const Rect& source, const Rect& destination, int opacity = 255,
                       int minimumCap = 0);
    // Transparent black outside the clip.
    Rgba getPixel(Point point) const;
    void blendPixel(Point point, Rgba colour);

    // A weight 0..255 applied to a byte, 255 counting as a full 256/256.
    static int scale(int value, int weight) { return (value * (weight + (weight >> 7))) >> 8; }

private:
    // One band of rows stretched across; the cap follows the whole source's height.
    void stretchBand(const Bitmap& bitmap, const Rect& source, const Rect& destination, int opacity,
                     int minimumCap, int sourceHeight);

    Owner* owner_;
    State state_;
};

}  // namespace gui
