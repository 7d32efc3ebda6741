#include "interface/controls/XYControllerButton.h"

#include <cmath>

#include "framework/AbstractPluginParameter.h"
#include "gui/Bitmap.h"
#include "gui/ModifierMap.h"
#include "interface/ParameterEditor.h"

XYControllerButton::XYControllerButton(gui::UserInterface* ui, ParameterEditor& editor,
                                       const gui::Button::Style* style)
    : ParameterButton(ui, editor, style) {
    for (int place : {Horizontal, Vertical}) mapper(place).acceleration = false;
}

void XYControllerButton::setAxes(int horizontal, int vertical) {
    setParameter(Horizontal, horizontal);
    setParameter(Vertical, vertical);
    setParameter(AlternateHorizontal, -1);
    setParameter(AlternateVertical, -1);
}

void XYControllerButton::setPad(const gui::Rect& pad) {
    pad_ = pad;
    mapper(Horizontal).dragRange = std::max(pad.width(), 1);
    mapper(Vertical).dragRange = std::max(pad.height(), 1);
    invalidateAll();
}

void XYControllerButton::resized() {
    ParameterButton::resized();
    if (pad_.isEmpty()) setPad(localRect());
}

double XYControllerButton::normalizedAt(int place) const {
    const AbstractPluginParameter* p = parameterOf(place);
    return p ? p->plainToNormalized(p->value()) : 0.5;
}

gui::Point XYControllerButton::markerPosition() const {
    const double h = normalizedAt(Horizontal), v = normalizedAt(Vertical);
    return {int(std::lround(pad_.left + h * (pad_.right - pad_.left))),
            int(std::lround(pad_.bottom + v * (pad_.top - pad_.bottom)))};
}

void XYControllerButton::mouseDown(int button, gui::Point point, int flags) {
    if (button == 0 && gui::ModifierMap::lookupModifierAction(flags) == gui::ModifierMap::Reset &&
        !editor().midiLearnActive()) {
        // Both axes home at once; no drag follows.
        gui::Button::mouseDown(button, point, flags);
        resetAll();
        editor().refreshControls();
        return;
    }
    ParameterButton::mouseDown(button, point, flags);
}

void XYControllerButton::paint(gui::Canvas& canvas) {
    ParameterButton::paint(canvas);
    const gui::Point at = markerPosition();
    for (const gui::Bitmap* image : {secondMarker, marker}) {
        if (!image) continue;
        canvas.drawBitmap(*image,
                          gui::Rect::ofSize(at.x - image->width() / 2, at.y - image->height() / 2, image->width(),
                                            image->height()),
                          {0, 0});
    }
}
