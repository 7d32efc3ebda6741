#include "gui/LevelButton.h"

#include <algorithm>
#include <cmath>

namespace gui {

LevelButton::LevelButton(UserInterface* ui, const Button::Style* style) : FloatValueButton(ui, style) {
    horizontal = true;
}

void LevelButton::propertyChanged(AbstractProperty* property) {
    if (property == &levelOffset) {
        invalidateAll();
        return;
    }
    FloatValueButton::propertyChanged(property);
}

Rect LevelButton::barRect() const {
    const Bitmap* icon = iconOverride[0] ? iconOverride[0] : style().icon[0];
    const int h = icon ? icon->height() : 0;
    const double x = std::clamp(toNormalized(), 0.0, 1.0);
    const int length = static_cast<int>(std::lround((width() - levelOffset) * x));
    return Rect::ofSize(levelOffset, (height() - h) / 2, length, h);
}

void LevelButton::paintIcon(Canvas& canvas, int level, int) {
    const Bitmap* icon = iconOverride[0] ? iconOverride[0] : style().icon[0];
    const Rect bar = barRect();
    if (!icon || icon->isEmpty() || bar.isEmpty()) return;
    drawImage(canvas, *icon, bar, true, fadedOpacity(iconIdleOpacity, level));
}

}  // namespace gui
