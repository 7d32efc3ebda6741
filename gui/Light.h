#pragma once

#include "gui/Component.h"
#include "gui/Control.h"

namespace gui {

class Bitmap;

// An indicator such as the MIDI activity light: its style's off and on images, cross-faded by the
// level (0 off, 255 fully on). UI thread.
class Light : public Control {
public:
    class Style : public Component {
    public:
        explicit Style(UserInterface* ui) : Component(ui) {}
        // Not owned; both of one size.
        const Bitmap* off = nullptr;
        const Bitmap* on = nullptr;
    };

    Light(UserInterface* ui, const Style* style);

    LimitedProperty<int> level{this, 0, 0, 255};

    void paint(Canvas& canvas) override;
    int hitAlpha(Point point) const override;
    void propertyChanged(AbstractProperty* property) override;

private:
    const Style* style_;
};

}  // namespace gui
