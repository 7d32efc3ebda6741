#pragma once

#include "gui/Control.h"
#include "gui/Rgba.h"

namespace gui {

// A frame of the border width in the border colour inside the bounds, and the inner rectangle
// filled with the fill colour unless that is fully transparent. UI thread.
class Shape : public Control {
public:
    explicit Shape(UserInterface* ui) : Control(ui) {}

    Property<int> borderWidth{this, 0};
    Property<Rgba> borderColour{this, Rgba{0, 0, 0, 255}};
    Property<Rgba> fillColour{this, Rgba{0, 0, 0, 0}};

    void paint(Canvas& canvas) override;
    void propertyChanged(AbstractProperty* property) override;
};

}  // namespace gui
