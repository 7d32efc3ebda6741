#pragma once

#include "gui/AnimatedControl.h"
#include "gui/Button.h"

namespace gui {

class ScrollArea;
class ScrollButton;

// A scroll area between two scroll buttons. With auto-hide on, each button shows only while the
// area can scroll its way. [ui]
class ScrollStrip : public AnimatedControl {
public:
    // The buttons' styles give their widths; either may be none (a plain button of 12 pixels).
    // The parts are children like any other: they go with the tree or the user interface, and
    // the strip forgets each one that goes first.
    ScrollStrip(UserInterface* ui, const Button::Style* leftStyle = nullptr,
                const Button::Style* rightStyle = nullptr);
    ~ScrollStrip() override;

    Property<bool> autoHide{this, true};

    void propertyChanged(AbstractProperty* property) override;
    void linkRemoved(Component* component) override;
    void resized() override;

    ScrollArea& area() { return *area_; }
    ScrollButton& leftButton() { return *left_; }
    ScrollButton& rightButton() { return *right_; }

private:
    void layout();
    void scrollChanged(void*);

    ScrollArea* area_;
    ScrollButton* left_;
    ScrollButton* right_;
};

}  // namespace gui
