#include "gui/Shape.h"

namespace gui {

void Shape::paint(Canvas& canvas) {
    const int b = borderWidth;
    const Rect outer = localRect();
    const Rect inner{outer.left + b, outer.top + b, outer.right - b, outer.bottom - b};
    if (b > 0) {
        if (inner.isEmpty()) {
            canvas.fillRect(outer, borderColour);
        } else {
            // drawFrame lies outside its rectangle, so frame the inner one.
            canvas.drawFrame(inner, borderColour, b);
        }
    }
    if (fillColour.get().alpha != 0 && !inner.isEmpty()) canvas.fillRect(inner, fillColour);
}

void Shape::propertyChanged(AbstractProperty* property) {
    Control::propertyChanged(property);
    if (property == &borderWidth || property == &borderColour || property == &fillColour) {
        opaque = fillColour.get().alpha == 255 && (borderWidth <= 0 || borderColour.get().alpha == 255);
        invalidateAll();
    }
}

}  // namespace gui
