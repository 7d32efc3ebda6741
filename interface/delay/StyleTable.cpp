#include "interface/delay/StyleTable.h"

#include <string>

#include "gui/Bitmap.h"
#include "gui/UserInterface.h"
#include "interface/sources/SourceArt.h"

namespace {

const gui::Bitmap* picture(const std::string& name) { return name.empty() ? nullptr : SourceArt::image(name); }

// One button style: its pictures' name ("" for none), the icons off and on, and the flags of the
// table: a dark normal picture, the active picture also when pressed, no normal picture.
struct ButtonRecipe {
    const char* name;
    const char* iconOff;
    const char* iconOn;
    bool darkNormal = false;
    bool activeWhenDown = false;
    bool noNormal = false;
};

// By style number; a style without a name has no button pictures, only its icons.
const ButtonRecipe kButtons[StyleTable::kButtonStyles] = {
    {"Generic", "", ""},
    {"Generic", "IconMenuDark", "IconMenuDark"},
    {"Generic", "IconUpDownDark", "IconUpDownDark"},
    {"Generic", "IconMenuDark", "IconMenuDark", true},
    {"Generic", "IconSave", "IconSave", true},
    {"Generic", "IconPositiveDark", "IconNegativeDark", true},
    {"Generic", "IconLockOff", "IconLockOn", true},
    {"Generic", "IconEnabledOff", "IconEnabledOn", true},
    {"Bar", "", "ButtonBarOn"},
    {"Add", "", ""},
    {"Generic", "IconAdd", "IconAdd", true},
    {"AddStep", "", ""},
    {"Hide", "", ""},
    {"Hotspot", "", ""},
    {"XY", "", ""},
    {"Save", "", ""},
    {"ScrollLeft", "", "", false, true},
    {"ScrollRight", "", "", false, true},
    {"SourceDrag", "IconSourceDrag", "IconSourceDrag", false, true},
    {"Component", "", ""},
    {"ComponentEnabled", "", ""},
    {"SlotLevel", "ButtonSlotLevelOff", "ButtonSlotLevelOn", false, true},
    {"", "IconCloseSmall", "IconCloseSmall"},
    {"", "IconPositive", "IconNegative"},
    {"SlotInner", "IconSlotDrop", "IconSlotDrop", false, false, true},
    {"SlotInner", "IconSlotBypassedOff", "IconSlotBypassedOn", false, false, true},
    {"Dry", "ButtonDryOff", "ButtonDryOn"},
};

struct KnobRecipe {
    const char* back;
    const char* overlay;
    int outer, inner;
};

const KnobRecipe kKnobs[StyleTable::kKnobStyles] = {
    {"KnobNormalBack", "KnobNormalOverlay", 20, 12},
    {"KnobOuterBack", "KnobOuterOverlay", 28, 20},
    {"KnobInnerBack", "KnobNormalOverlay", 20, 12},
    {"KnobOuterBack", "KnobLargeOverlay", 28, 12},
    {"", "KnobSyncOverlay", 58, 48},
};

constexpr gui::Rgba kInk{226, 229, 233, 255};

}  // namespace

StyleTable::StyleTable(gui::UserInterface* ui) : ui_(ui) {
    for (int i = 0; i < kButtonStyles; ++i) {
        const ButtonRecipe& r = kButtons[i];
        auto s = std::make_unique<gui::Button::Style>(ui);
        const std::string base = std::string("Button") + r.name;
        if (*r.name) {
            if (!r.noNormal) s->background[0] = picture(r.darkNormal ? "ButtonDarkNormal" : base + "Normal");
            s->background[1] = picture(base + "Active");
            s->background[2] = picture(base + (r.activeWhenDown ? "Active" : "Down"));
            if (!s->background[2]) s->background[2] = s->background[1];
        }
        s->icon[0] = picture(r.iconOff);
        s->icon[1] = picture(r.iconOn);
        const gui::Bitmap* size = s->background[0] ? s->background[0] : s->background[1] ? s->background[1] : s->icon[0];
        if (size) {
            s->width = size->width();
            s->height = size->height();
        }
        s->textColour = kInk;
        buttons_[std::size_t(i)] = std::move(s);
    }
    // The bar's on picture fills the button; the dry switch's pictures are its whole face.
    buttons_[Bar]->iconStretch = true;
    buttons_[Dry]->iconStretch = true;
    for (int i = 0; i < kKnobStyles; ++i) {
        const KnobRecipe& r = kKnobs[i];
        auto s = std::make_unique<gui::Knob::Style>(ui);
        const std::string back = r.back, overlay = r.overlay;
        if (!back.empty()) {
            s->images[gui::Knob::Body] = picture(back + "Normal");
            s->images[gui::Knob::BodyHovered] = picture(back + "Active");
        }
        s->images[gui::Knob::Pointer] = picture(overlay + "Normal");
        s->images[gui::Knob::PointerHovered] = picture(overlay + "Active");
        s->images[gui::Knob::PointerOnMark] = picture(overlay + "Rotate");
        if (!s->images[gui::Knob::PointerOnMark]) s->images[gui::Knob::PointerOnMark] = s->images[gui::Knob::PointerHovered];
        s->images[gui::Knob::PointerDragged] = picture(overlay + "Down");
        s->outerRadius = r.outer;
        s->innerRadius = r.inner;
        knobs_[std::size_t(i)] = std::move(s);
    }
}

StyleTable::~StyleTable() {
    // Components still alive when the user interface goes are deleted with it.
    if (!ui_->isDestroying()) return;
    for (auto& s : buttons_) (void)s.release();
    for (auto& s : knobs_) (void)s.release();
}
