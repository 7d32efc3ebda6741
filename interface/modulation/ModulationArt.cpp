#include "interface/modulation/ModulationArt.h"

#include <string>

#include "gui/Bitmap.h"
#include "gui/UserInterface.h"
#include "interface/sources/SourceArt.h"

namespace {

constexpr gui::Rgba kInk{226, 229, 233, 255};

gui::Button::Style* style(gui::UserInterface* ui, const std::string& normal, const std::string& active,
                          const std::string& down = {}) {
    auto* s = new gui::Button::Style(ui);
    s->background[0] = SourceArt::image(normal);
    s->background[1] = active.empty() ? s->background[0] : SourceArt::image(active);
    s->background[2] = down.empty() ? s->background[1] : SourceArt::image(down);
    if (s->background[0]) {
        s->width = s->background[0]->width();
        s->height = s->background[0]->height();
    }
    s->textColour = kInk;
    return s;
}

}  // namespace

const gui::Bitmap* ModulationArt::image(const char* name) {
    return SourceArt::image(name);
}

ModulationArt::ModulationArt(gui::UserInterface* ui) : ui_(ui) {
    slotLevel = style(ui, "ButtonSlotLevelNormal", "ButtonSlotLevelActive");
    slotInner = style(ui, "ButtonSlotInnerActive", "ButtonSlotInnerActive", "ButtonSlotInnerDown");
    // The inner buttons draw only their icon until hovered.
    slotInner->background[0] = nullptr;
    slotTarget = style(ui, "ButtonDarkNormal", "ButtonGenericActive", "ButtonGenericDown");
    add = style(ui, "ButtonBarNormal", "ButtonBarActive", "ButtonBarDown");
    add->height = 18;
    drag = style(ui, "ButtonSourceDragNormal", "ButtonSourceDragActive");
    sourceButton = style(ui, "SourceButtonNormal", "SourceButtonActive");
    indicator = style(ui, "ModulationIndicatorNormal", "ModulationIndicatorActive");
    scrollLeft = style(ui, "ButtonScrollLeftNormal", "ButtonScrollLeftActive");
    scrollRight = style(ui, "ButtonScrollRightNormal", "ButtonScrollRightActive");
    close = style(ui, "ButtonHideNormal", "ButtonHideActive", "ButtonHideDown");
}

ModulationArt::~ModulationArt() {
    if (ui_->isDestroying()) return;
    for (gui::Button::Style* s :
         {slotLevel, slotInner, slotTarget, add, drag, sourceButton, indicator, scrollLeft, scrollRight, close})
        delete s;
}
