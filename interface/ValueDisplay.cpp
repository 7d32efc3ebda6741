#include "interface/ValueDisplay.h"

#include <algorithm>

#include "gui/Canvas.h"

ValueDisplay::ValueDisplay(gui::UserInterface* ui) : gui::Control(ui) {
    nameText_.size = 8;
    nameText_.colour = gui::Rgba{170, 178, 190, 255};
    valueText_.size = 9;
    valueText_.bold = true;
    valueText_.colour = gui::Rgba{238, 240, 244, 255};
    visible = false;
    interactive = false;
}

void ValueDisplay::show(const gui::Control& control, const std::string& name, const std::string& value) {
    nameText_.text = name;
    valueText_.text = value;
    value_ = value;
    const int width = std::max(nameText_.getWidth(), valueText_.getWidth()) + 2 * kMargin;
    const int height = nameText_.getHeight() + valueText_.getHeight() + 2 * kMargin - 2;
    const gui::Control* top = parent.get();
    const int editorWidth = top ? top->width() : width;
    const int editorHeight = top ? top->height() : height;
    const gui::Point at = control.toRoot({0, 0});
    int x = at.x + (control.width() - width) / 2;
    int y = at.y + control.height() + kGap;
    if (y + height > editorHeight) y = at.y - kGap - height;
    x = std::clamp(x, 0, std::max(0, editorWidth - width));
    y = std::clamp(y, 0, std::max(0, editorHeight - height));
    setBounds(x, y, width, height);
    if (gui::Control* p = parent.get()) p->bringToFront(this);
    visible = true;
    invalidateAll();
}

void ValueDisplay::hide() {
    if (!visible) return;
    visible = false;
    value_.clear();
}

void ValueDisplay::paint(gui::Canvas& canvas) {
    canvas.fillRect(localRect(), gui::Rgba{22, 25, 30, 235});
    canvas.drawText(nameText_, {kMargin, kMargin - 1});
    canvas.drawText(valueText_, {kMargin, kMargin - 1 + nameText_.getHeight()});
}

int ValueDisplay::hitAlpha(gui::Point) const { return 0; }
