#include "gui/Light.h"

#include "gui/Bitmap.h"

namespace gui {

Light::Light(UserInterface* ui, const Style* style) : Control(ui), style_(style) {
    const Bitmap* any = style_ ? (style_->off ? style_->off : style_->on) : nullptr;
    if (any) setSize(any->width(), any->height());
}

void Light::propertyChanged(AbstractProperty* property) {
    Control::propertyChanged(property);
    if (property == &level) invalidateAll();
}

void Light::paint(Canvas& canvas) {
    if (!style_) return;
    const Bitmap* off = style_->off;
    const Bitmap* on = style_->on;
    if (off && on) {
        if (level <= 0)
            canvas.drawBitmap(*off, localRect(), {0, 0});
        else if (level >= 255)
            canvas.drawBitmap(*on, localRect(), {0, 0});
        else
            canvas.drawBlend(*off, localRect(), {0, 0}, *on, {0, 0}, level);
    } else if (on) {
        // Without an off image the light fades in over what lies below.
        canvas.drawBitmap(*on, localRect(), {0, 0}, level);
    } else if (off) {
        canvas.drawBitmap(*off, localRect(), {0, 0});
    }
}

int Light::hitAlpha(Point point) const {
    const Bitmap* b = style_ ? (style_->off ? style_->off : style_->on) : nullptr;
    return b ? b->getPixel(point).alpha : 0;
}

}  // namespace gui
