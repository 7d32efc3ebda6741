#pragma once

#include "gui/Button.h"

namespace gui {

// A button that shows its value as a number and changes it by dragging: up adds a step for every
// pixelsPerStep pixels from the press (ten steps with Shift). Reaching an end or changing the
// modifier keys starts the count again from where the pointer is, so that coming back moves at
// once. [ui]
class IntValueButton : public Button {
public:
    explicit IntValueButton(UserInterface* ui, const Button::Style* style = nullptr);

    int pixelsPerStep = 4;

    void valueRangeChanged(AbstractProperty* property) override;
    void mouseDown(int button, Point point, int flags) override;
    void mouseMove(Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;

private:
    void rebase(int y, int keys);

    bool dragging_ = false;
    int pressY_ = 0;
    int pressValue_ = 0;
    int pressKeys_ = 0;
};

}  // namespace gui
