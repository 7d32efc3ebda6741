#include "gui/FloatValueButton.h"

#include <cstdlib>

#include "gui/RootControl.h"
#include "gui/UserInterface.h"

namespace gui {

FloatValueButton::FloatValueButton(UserInterface* ui, const Button::Style* style)
    : Button(ui, style), mapper_(ui->clock()) {
    mapper_.valueRange = range();
}

void FloatValueButton::propertyChanged(AbstractProperty* property) {
    if (property == &accelerate) {
        mapper_.acceleration = accelerate;
        return;
    }
    Button::propertyChanged(property);
}

void FloatValueButton::valueRangeChanged(AbstractProperty* property) {
    Button::valueRangeChanged(property);
    mapper_.valueRange = range();
}

void FloatValueButton::mouseDown(int button, Point point, int flags) {
    Button::mouseDown(button, point, flags);
    if (button != 0 || ((flags & DoubleClick) && doubleClickEnabled)) return;
    if (resetOnPress(flags)) return;
    updateLinkMode(flags);
    mapper_.beginDrag(point);
    dragging_ = true;
    pressPoint_ = last_ = point;
}

void FloatValueButton::mouseMove(Point point, int flags) {
    Button::mouseMove(point, flags);
    if (!dragging_) return;
    const int across = horizontal ? point.y - pressPoint_.y : point.x - pressPoint_.x;
    if (handsOverToParent && std::abs(across) > kHandOverPixels && parent.get()) {
        handOver(point, flags);
        return;
    }
    updateLinkMode(flags);
    const int d = horizontal ? point.x - last_.x : last_.y - point.y;
    last_ = point;
    edit(Change, mapper_.dragDelta(*this, point, static_cast<float>(d), flags));
}

void FloatValueButton::handOver(Point point, int flags) {
    Control* p = parent;
    RootControl* r = root();
    // The press ends here without a click, and the parent takes it from the point it has reached.
    abandonPress();
    if (!r || isUiDestroying()) return;
    r->setCapture(p);
    const Point inParent = point + bounds.get().topLeft();
    p->mouseDown(0, inParent, flags & ~DoubleClick);
    p->mouseMove(inParent, flags);
}

void FloatValueButton::mouseUp(int button, Point point, int flags) {
    Button::mouseUp(button, point, flags);
    if (button == 0 && dragging_) {
        dragging_ = false;
        updateLinkMode(0);
    }
}

bool FloatValueButton::wheel(int phase, Point, int flags, float speedX, float speedY, float, float) {
    return wheelEdit(mapper_, phase, horizontal ? speedX : speedY, flags, dragging_);
}

}  // namespace gui
