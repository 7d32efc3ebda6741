#pragma once

#include "gui/FloatValueButton.h"

namespace gui {

// A value button that shows its value as a horizontal bar: the icon picture stretched from the
// level offset to the part of the remaining width that the normalized value gives. [ui]
class LevelButton : public FloatValueButton {
public:
    explicit LevelButton(UserInterface* ui, const Button::Style* style = nullptr);

    // Where the bar starts, in pixels from the left.
    Property<int> levelOffset{this, 0};

    void propertyChanged(AbstractProperty* property) override;
    // The bar's rectangle for the current value.
    Rect barRect() const;

protected:
    void paintIcon(Canvas& canvas, int level, int shift) override;
};

}  // namespace gui
