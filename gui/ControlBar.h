#pragma once

#include <map>

#include "core/Property.h"
#include "gui/AnimatedControl.h"
#include "gui/Animation.h"

namespace gui {

class ControlBar;

// Slides a child of a control bar in or out: its slot widens from nothing (or narrows to
// nothing) while it fades, over 300 ms with the bar's ease-out curve. A child that slid out is
// detached from the bar at the end.
class BarAnimation : public Animation {
public:
    static constexpr int kDurationMs = 300;

    BarAnimation(Animator* animator, ControlBar* bar, Control* child, bool inserting);
    void apply(float x) override;

private:
    void finished(void*);

    ControlBar* bar_;
    Control* child_;
    bool inserting_;
};

// Lays its visible children out in a row, left to right with a spacing, aligned horizontally and
// vertically, optionally sized to the row. The layout is redone in the control's update after
// children come, go, show, hide or change size. [ui]
class ControlBar : public AnimatedControl {
public:
    enum HorizontalAlignment { Left = 0, Centre = 1, Right = 2 };
    enum VerticalAlignment { Top = 0, Middle = 1, Bottom = 2 };

    explicit ControlBar(UserInterface* ui);

    Property<int> spacing{this, 0};
    Property<int> horizontalAlignment{this, Left};
    Property<int> verticalAlignment{this, Top};
    Property<bool> autoSize{this, false};

    void propertyChanged(AbstractProperty* property) override;
    void childChanged(Control* source, int kind) override;
    void resized() override;

    // Attach or detach a child with the slide (at once without an animator).
    void insertAnimated(Control* child);
    void removeAnimated(Control* child);
    // The share of its slot a sliding child takes (1 when not sliding).
    float slotShare(const Control* child) const;
    void setSlotShare(Control* child, float share);
    // Lays the row out now rather than at the next update.
    void layoutNow();

protected:
    void update() override;

private:
    void requestLayout();

    std::map<const Control*, float> shares_;
    bool layoutPending_ = false;
    bool layingOut_ = false;
};

}  // namespace gui
