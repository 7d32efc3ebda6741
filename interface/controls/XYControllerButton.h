#pragma once

#include "gui/Rect.h"
#include "interface/controls/ParameterButton.h"

// The XY pad: a parameter button over a pad whose marker follows the pointer one to one. The drag
// starts at the press; a press with exactly the reset modifier sets both axes to their defaults at
// once. The marker sits at the horizontal value from the pad's left and the vertical value from
// its bottom. [ui]
class XYControllerButton : public ParameterButton {
public:
    XYControllerButton(gui::UserInterface* ui, ParameterEditor& editor, const gui::Button::Style* style = nullptr);

    // Binds the two axes (no alternate pair).
    void setAxes(int horizontal, int vertical);
    // The pad inside the button; the drag ranges follow its size.
    void setPad(const gui::Rect& pad);
    const gui::Rect& pad() const { return pad_; }
    // Not owned.
    const gui::Bitmap* marker = nullptr;
    const gui::Bitmap* secondMarker = nullptr;

    // The marker's centre for the current values.
    gui::Point markerPosition() const;

    void mouseDown(int button, gui::Point point, int flags) override;
    void paint(gui::Canvas& canvas) override;
    void resized() override;

protected:
    bool dragsFromPress() const override { return true; }

private:
    double normalizedAt(int place) const;

    gui::Rect pad_;
};
