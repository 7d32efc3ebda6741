#pragma once

#include "core/Property.h"
#include "gui/Bitmap.h"
#include "gui/ValueControl.h"

namespace gui {

class Animation;

// A value control that lights up while the pointer is over it (or while highlighted): the level
// of its rollover runs to 255 in 100 ms and back to 0 in 300 ms, and its images are drawn as a
// blend of the normal and the hovered picture by that level. [ui]
class RolloverValueControl : public ValueControl {
public:
    // One fading highlight: its target state, the running animation and the level it drives.
    // A control may have several (a switch's handle fades apart from its track).
    class Rollover {
    public:
        static constexpr int kFadeInMs = 100;
        static constexpr int kFadeOutMs = 300;

        // Starts the fade on the control's animator, or jumps without one.
        void setTarget(bool on, AnimatedControl& control);
        // Stops a running fade where it stands.
        void drop(AnimatedControl& control);
        bool target() const { return target_; }
        int level() const { return level_; }
        void setLevel(int level) { level_ = level; }

        // Draws the normal and hovered pictures blended by the level, at the rectangle's top-left
        // corner or stretched over it. A missing normal picture makes the hovered one fade in.
        void draw(Canvas& canvas, const Bitmap* normal, const Bitmap* hovered, const Rect& where,
                  bool stretched, int opacity = 255);

    private:
        void finished(void*) { animation_ = nullptr; }

        bool target_ = false;
        Animation* animation_ = nullptr;
        int level_ = 0;
        Bitmap blend_;
        const Bitmap* blendOf_[2] = {nullptr, nullptr};
        int blendLevel_ = -1;
    };

    explicit RolloverValueControl(UserInterface* ui);

    // Forces the rollover look.
    Property<bool> highlighted{this, false};
    LimitedProperty<int> idleOpacity{this, 255, 0, 255};

    void propertyChanged(AbstractProperty* property) override;
    void mouseEntered() override;
    void mouseExited() override;

    bool isHovering() const { return hovering_; }
    int rolloverLevel() const { return rollover_.level(); }
    // The idle opacity raised towards 255 by the rollover level.
    int drawnOpacity() const;

protected:
    virtual void updateRollover();

    bool hovering_ = false;
    Rollover rollover_;
};

// Draws a picture at a rectangle's top-left corner, or stretched over the rectangle.
void drawImage(Canvas& canvas, const Bitmap& bitmap, const Rect& where, bool stretched, int opacity = 255);

}  // namespace gui
