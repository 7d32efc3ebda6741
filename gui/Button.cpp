#include "gui/Button.h"

#include <algorithm>

#include "gui/PopupMenu.h"
#include "gui/RootControl.h"
#include "gui/UserInterface.h"

namespace gui {

Button::Button(UserInterface* ui, const Style* style)
    : RolloverValueControl(ui), text_(ui->createText()), holdTimer_(IntervalTimer::create(ui->clock())) {
    if (!style) {
        ownStyle_ = std::make_unique<Style>(ui);
        style = ownStyle_.get();
    }
    style_ = style;
    text_->wrapMode = Text::Ellipsis;
    text_->changeEvent.addHandler(this, &Button::textChanged);
    copyStyle(*style_);
    if (style_->width > 0 && style_->height > 0) setSize(style_->width, style_->height);
}

Button::~Button() = default;

void Button::copyStyle(const Style& s) {
    iconAlignment = s.iconAlignment;
    iconMargin = s.iconMargin;
    iconIdleOpacity = s.iconIdleOpacity;
    iconStretch = s.iconStretch;
    textAlignment = s.textAlignment;
    textColour = s.textColour;
    textIdleOpacity = s.textIdleOpacity;
    textOffsetX = s.textOffsetX;
    textOffsetY = s.textOffsetY;
    hitInset = s.hitInset;
    text_->colour = textColour.get();
}

void Button::setText(const std::string& text) {
    text_->text = text;
}

void Button::textChanged(void*) {
    invalidateAll();
}

void Button::propertyChanged(AbstractProperty* property) {
    if (property == &textColour) text_->colour = textColour.get();
    if (property == &iconAlignment || property == &iconMargin || property == &iconIdleOpacity ||
        property == &iconStretch || property == &textAlignment || property == &textColour ||
        property == &textIdleOpacity || property == &textOffsetX || property == &textOffsetY ||
        property == &on) {
        invalidateAll();
        return;
    }
    if (property == &hitInset) return;
    RolloverValueControl::propertyChanged(property);
}

Rect Button::getLocalBounds() const {
    const int inset = hitInset;
    const Rect r{inset, inset, width() - inset, height() - inset};
    return r.isEmpty() ? Rect{} : r;
}

bool Button::isOver(Point point) const {
    return contains(point) && getLocalBounds().contains(point);
}

void Button::setVisualState(int state) {
    if (state == visualState_) return;
    visualState_ = state;
    invalidateAll();
}

void Button::setOnByUser(bool state) {
    on = state;
}

void Button::dragStateChanged(int state) {
    if (state == DragDwelled) clicked();
}

void Button::mouseEntered() {
    RolloverValueControl::mouseEntered();
    if (visualState_ != Pressed) setVisualState(Hovered);
}

void Button::mouseExited() {
    RolloverValueControl::mouseExited();
    if (!pressed_) setVisualState(Normal);
}

void Button::mouseDown(int button, Point point, int flags) {
    RolloverValueControl::mouseDown(button, point, flags);
    if (button != 0) return;
    pressed_ = true;
    rollover_.drop(*this);
    setVisualState(Pressed);
    if (toggles && momentary && !on) {
        setOnByUser(true);
        holdTimer_->restart();
        heldOn_ = true;
    }
    if (PopupMenu* menu = menuForPress()) showMenu(*menu);
}

void Button::showMenu(PopupMenu& menu) {
    releaseCaptureThroughRoot();
    const Point at = toRoot({0, 0});
    menu.show(Rect::ofSize(at.x, at.y, width(), height()));
    // The menu took the release; finish the press as if the button had been let go elsewhere.
    abandonPress();
}

void Button::mouseMove(Point point, int flags) {
    RolloverValueControl::mouseMove(point, flags);
    if (pressed_) setVisualState(isOver(point) || keepPressedOutside ? Pressed : Normal);
}

void Button::mouseUp(int button, Point point, int flags) {
    if (button == 0 && pressed_) {
        const bool over = isOver(point);
        pressed_ = false;
        if (heldOn_) {
            // Held: the button was on only while pressed. A short press leaves it on.
            heldOn_ = false;
            if (holdTimer_->elapsedMs() > kHoldMs) setOnByUser(false);
        } else if (toggles && over) {
            setOnByUser(!on);
        }
        setVisualState(over ? Hovered : Normal);
        if (!over) rollover_.setTarget(highlighted, *this);
    }
    RolloverValueControl::mouseUp(button, point, flags);
}

// Painting.

void Button::paint(Canvas& canvas) {
    paintBackground(canvas);
    paintForeground(canvas, visualState_, visualState_ == Pressed ? 255 : rollover_.level());
}

void Button::paintBackground(Canvas& canvas) {
    const Bitmap* const* bg = style_->background;
    const int opacity = drawnOpacity();
    if (freeLayout) {
        const Rect at = Rect::ofSize(imageOffset.x, imageOffset.y, width(), height());
        if (visualState_ == Pressed && bg[Pressed])
            drawImage(canvas, *bg[Pressed], at, false, opacity);
        else
            rollover_.draw(canvas, bg[Normal], bg[Hovered], at, false, opacity);
    } else if (visualState_ == Pressed && bg[Pressed] && !bg[Pressed]->isEmpty()) {
        drawImage(canvas, *bg[Pressed], localRect(), true, opacity);
    } else {
        rollover_.draw(canvas, bg[Normal], bg[Hovered], localRect(), true, opacity);
    }
}

void Button::paintInState(Canvas& canvas, int state) {
    const Bitmap* b = style_->background[state == 2 ? Hovered : Normal];
    if (b) drawImage(canvas, *b, localRect(), true, state == 2 ? 255 : idleOpacity.get());
    paintForeground(canvas, Normal, state == 2 ? 255 : 0);
}

void Button::paintIcon(Canvas& canvas, int level, int shift) {
    const int index = on ? 1 : 0;
    const Bitmap* icon = iconOverride[index] ? iconOverride[index] : style_->icon[index];
    if (icon && !icon->isEmpty()) {
        const int opacity = fadedOpacity(iconIdleOpacity, level);
        if (iconStretch) {
            drawImage(canvas, *icon, localRect().movedBy(shift, shift), true, opacity);
        } else {
            int x = (width() - icon->width()) / 2;
            if (iconAlignment == Left) x = iconMargin;
            if (iconAlignment == Right) x = width() - iconMargin - icon->width();
            const int y = (height() - icon->height()) / 2;
            drawImage(canvas, *icon, Rect::ofSize(x + shift, y + shift, icon->width(), icon->height()), false,
                      opacity);
        }
    }
}

void Button::paintForeground(Canvas& canvas, int state, int level) {
    // Pressed contents sink by a pixel, unless the button keeps its pressed look outside.
    const int shift = state == Pressed && !keepPressedOutside ? 1 : 0;
    paintIcon(canvas, level, shift);
    const int opacity = fadedOpacity(textIdleOpacity, level);
    const bool image = labelImage && !labelImage->isEmpty();
    if (!image && text_->text.get().empty()) return;
    if (!image) text_->maximumWidth = std::max(1, width() - 2 * textMargin);
    const int w = image ? labelImage->width() : text_->getWidth();
    const int h = image ? labelImage->height() : text_->getHeight();
    int x = (width() - w) / 2;
    if (textAlignment == Left) x = textMargin;
    if (textAlignment == Right) x = width() - textMargin - w;
    const Point at{x + textOffsetX + shift, (height() - h) / 2 + textOffsetY + shift};
    if (image)
        drawImage(canvas, *labelImage, Rect::ofSize(at.x, at.y, w, h), false, opacity);
    else
        canvas.drawText(*text_, at, opacity);
}

}  // namespace gui
