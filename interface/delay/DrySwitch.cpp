#include "interface/delay/DrySwitch.h"

#include "gui/Canvas.h"

DrySwitch::DrySwitch(gui::UserInterface* ui, const gui::Button::Style* style, int part, int width)
    : gui::ToggleButton(ui, style) {
    freeLayout = true;
    imageOffset = gui::Point{-part, 0};
    setSize(width, style->height);
}

void DrySwitch::paintIcon(gui::Canvas& canvas, int, int) {
    const gui::Bitmap* icon = iconOverride[on ? 1 : 0] ? iconOverride[on ? 1 : 0] : style().icon[on ? 1 : 0];
    if (!icon || icon->isEmpty()) return;
    canvas.drawBitmap(*icon, localRect(), {-imageOffset.x, 0}, drawnOpacity());
}
