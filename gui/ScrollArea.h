#pragma once

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/AnimatedControl.h"

namespace gui {

class Animation;

// Scrolls its children horizontally. The content is the children's bounding box with a margin on
// both sides; the scroll position runs from 0 to content width - width, and scrolling moves the
// children. The horizontal wheel scrolls by its pixel distance; the vertical one is taken without
// effect so that it does not reach the controls behind. [ui]
class ScrollArea : public AnimatedControl {
public:
    static constexpr int kScrollIntoViewMs = 300;

    explicit ScrollArea(UserInterface* ui);
    ~ScrollArea() override;

    Property<int> margin{this, 0};
    // Sender = the area; fired when the position or the content changes.
    NotifyEvent scrollChangedEvent;

    void propertyChanged(AbstractProperty* property) override;
    void childChanged(Control* source, int kind) override;
    void resized() override;
    bool wheelScroll(int flags, float pixels, int axis) override;

    int contentWidth() const;
    int maximumPosition() const;
    float scrollPosition() const { return position_; }
    // Clamped into the scroll range; moves the children.
    void setScrollPosition(float position);
    void scrollBy(float pixels) { setScrollPosition(position_ + pixels); }
    // Animates the position so that the child shows, centred when it fits.
    void scrollIntoView(Control* child);
    bool canScrollLeft() const { return position_ > 0.0f; }
    bool canScrollRight() const { return position_ < static_cast<float>(maximumPosition()); }

private:
    class ScrollAnimation;
    void contentChanged();

    float position_ = 0.0f;
    // Where the children were put for the whole-pixel part of the position.
    int shown_ = 0;
    bool moving_ = false;
};

}  // namespace gui
