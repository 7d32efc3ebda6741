#include "interface/sources/SourceArt.h"

#include <map>
#include <memory>
#include <string>

#include "gui/Bitmap.h"
#include "gui/UserInterface.h"
#include "streams/Resource.h"

namespace {

gui::Button::Style* buttonStyle(gui::UserInterface* ui, const char* name) {
    auto* s = new gui::Button::Style(ui);
    const std::string base = std::string("Button") + name;
    s->background[0] = SourceArt::image(base + "Normal");
    s->background[1] = SourceArt::image(base + "Active");
    s->background[2] = SourceArt::image(base + "Down");
    if (!s->background[2]) s->background[2] = s->background[1];
    if (s->background[0]) {
        s->width = s->background[0]->width();
        s->height = s->background[0]->height();
    }
    s->textColour = SourceArt::kInk;
    return s;
}

gui::Knob::Style* knobStyle(gui::UserInterface* ui, const char* back, const char* overlay, int outer, int inner) {
    auto* s = new gui::Knob::Style(ui);
    const std::string b = std::string("Knob") + back, o = std::string("Knob") + overlay;
    s->images[gui::Knob::Body] = SourceArt::image(b + "Normal");
    s->images[gui::Knob::BodyHovered] = SourceArt::image(b + "Active");
    s->images[gui::Knob::Pointer] = SourceArt::image(o + "Normal");
    s->images[gui::Knob::PointerHovered] = SourceArt::image(o + "Active");
    s->images[gui::Knob::PointerOnMark] = SourceArt::image(o + "Rotate");
    s->images[gui::Knob::PointerDragged] = SourceArt::image(o + "Down");
    s->outerRadius = outer;
    s->innerRadius = inner;
    return s;
}

}  // namespace

const gui::Bitmap* SourceArt::image(std::string_view name) {
    static std::map<std::string, std::unique_ptr<gui::Bitmap>, std::less<>> cache;
    if (auto found = cache.find(name); found != cache.end()) return found->second.get();
    std::unique_ptr<gui::Bitmap> bitmap;
    if (resourceExists(name)) {
        bitmap = std::make_unique<gui::Bitmap>();
        bitmap->load(*openResource(name));
    }
    return cache.emplace(std::string(name), std::move(bitmap)).first->second.get();
}

SourceArt::SourceArt(gui::UserInterface* ui) : ui_(ui) {
    knob = knobStyle(ui, "NormalBack", "NormalOverlay", 20, 12);
    ring = knobStyle(ui, "OuterBack", "OuterOverlay", 28, 20);
    button = buttonStyle(ui, "Generic");
    addStep = buttonStyle(ui, "AddStep");
    hide = buttonStyle(ui, "Hide");
    hotSpot = buttonStyle(ui, "Hotspot");
}

SourceArt::~SourceArt() {
    // Components still alive when the user interface goes are deleted with it.
    if (ui_->isDestroying()) return;
    for (gui::Component* c : {static_cast<gui::Component*>(knob), static_cast<gui::Component*>(ring),
                              static_cast<gui::Component*>(button), static_cast<gui::Component*>(addStep), static_cast<gui::Component*>(hide),
                              static_cast<gui::Component*>(hotSpot)})
        delete c;
}
