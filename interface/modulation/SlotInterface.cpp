#include "interface/modulation/SlotInterface.h"

#include <initializer_list>

#include "framework/AbstractPluginParameter.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Image.h"
#include "gui/LevelButton.h"
#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "interface/modulation/AbstractSlotController.h"
#include "interface/modulation/ModulationArt.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationSlotParameterSetList.h"

namespace {

constexpr const char* kTargetHint =
    "The Target button lets you select one of the available modulation targets that will be modulated by the source "
    "of this modulation slot.";
constexpr const char* kLevelHint =
    "The Modulation Level slider determines the amount of modulation for the modulation connection. Drag it "
    "horizontally; hold the linking key to change every slot of the same source together.";
constexpr const char* kBypassHint = "The Bypass button temporarily disables the modulation slot.";
constexpr const char* kInvertHint =
    "The +/\xE2\x80\x93 button for a slot controls whether the modulation signal is inverted or not, before it is "
    "used to modulate the selected target.";
constexpr int kTargetWidth = 104, kGap = 2;
constexpr int kDimmedOpacity = 110;

std::vector<std::string> itemsOf(const AbstractPluginParameter* p) {
    std::vector<std::string> names;
    if (!p) return names;
    for (int v = int(p->minValue()); v <= int(p->maxValue()); ++v) names.push_back(p->plainToText(float(v)));
    return names;
}

}  // namespace

// The target selector: targets of sources that are not in use cannot be chosen.
class SlotInterface::TargetButton : public gui::SelectButton {
public:
    TargetButton(gui::UserInterface* ui, const gui::Button::Style* style, ModulationMatrixPluginInterface& editor)
        : gui::SelectButton(ui, style), editor_(editor) {}

protected:
    gui::PopupMenu* menuForPress() override {
        gui::PopupMenu* menu = gui::SelectButton::menuForPress();
        // Item 0 is "no target"; item i is target i - 1.
        for (int i = 1; menu && i < menu->itemCount(); ++i)
            if (gui::MenuItem* item = menu->itemAt(i)) item->enabled = editor_.isTargetInUse(i - 1);
        return menu;
    }

private:
    ModulationMatrixPluginInterface& editor_;
};

SlotInterface::SlotInterface(gui::UserInterface* ui, AbstractSlotController& slots, const ModulationArt* art)
    : gui::Control(ui), slots_(slots), editor_(slots.editor()) {
    setSize(kWidth, kHeight);
    ModulationSlotParameterSetList* list = editor_.slotList();
    target_ = new TargetButton(ui, art ? art->slotTarget : nullptr, editor_);
    if (list && list->getSetCount() > 0) target_->setItems(itemsOf(&list->set(0).target));
    target_->text().size = 7;
    target_->text().wrapMode = gui::Text::Ellipsis;
    target_->textMargin = 3;
    target_->hint = kTargetHint;
    level_ = new gui::LevelButton(ui, art ? art->slotLevel : nullptr);
    level_->horizontal = true;
    level_->hint = kLevelHint;
    level_->iconOverride[0] = level_->iconOverride[1] = ModulationArt::image("ButtonSlotLevelOn");
    invert_ = new gui::ToggleButton(ui, art ? art->slotInner : nullptr);
    invert_->iconOverride[0] = ModulationArt::image("IconPositive");
    invert_->iconOverride[1] = ModulationArt::image("IconNegative");
    invert_->hint = kInvertHint;
    bypass_ = new gui::ToggleButton(ui, art ? art->slotInner : nullptr);
    bypass_->iconOverride[0] = ModulationArt::image("IconSlotBypassedOff");
    bypass_->iconOverride[1] = ModulationArt::image("IconSlotBypassedOn");
    bypass_->hint = kBypassHint;
    remove_ = new gui::Button(ui, art ? art->close : nullptr);
    remove_->iconOverride[0] = remove_->iconOverride[1] = ModulationArt::image("IconCloseSmall");
    remove_->hint = kRemoveHint;
    remove_->clickEvent.setOwnerHandler(this, &SlotInterface::removeClicked);
    const gui::Bitmap* sign = ModulationArt::image("SlotWarning");
    warning_ = sign ? new gui::Image(ui, const_cast<gui::Bitmap*>(sign)) : new gui::Image(ui);
    warning_->hint = kWarningHint;
    warning_->visible = false;
    int x = 0;
    target_->setBounds(x, 0, kTargetWidth, kHeight);
    x += kTargetWidth + kGap;
    level_->setBounds(x, 1, 40, 14);
    x += 40 + kGap;
    invert_->setBounds(x, 1, 18, 14);
    x += 18 + kGap;
    bypass_->setBounds(x, 1, 18, 14);
    x += 18 + kGap;
    remove_->setBounds(x, 1, 14, 14);
    for (gui::Control* c : std::initializer_list<gui::Control*>{target_, level_, invert_, bypass_, remove_, warning_})
        c->parent = this;
    layoutExtras();
}

SlotInterface::~SlotInterface() {
    if (isUiDestroying()) return;
    releaseBindings();
    deleteAllChildren();
}

void SlotInterface::bind(int parameter, gui::ValueControl* control, int target) {
    if (!control || parameter < 0) return;
    editor_.bindControl(parameter, control, target);
    bindings_.emplace_back(parameter, control);
}

void SlotInterface::releaseBindings() {
    for (auto [parameter, control] : bindings_) editor_.unbindControl(parameter, control);
    bindings_.clear();
}

void SlotInterface::setIndex(int slot) {
    releaseBindings();
    slot_ = slot;
    ModulationSlotParameterSetList* list = editor_.slotList();
    if (!list || slot < 0 || slot >= list->getSetCount()) return;
    ModulationSlotParameterSet& s = list->set(slot);
    bind(s.target.index(), target_);
    bind(s.level.index(), level_, s.level.target());
    bind(s.invert.index(), invert_);
    bind(s.bypass.index(), bypass_);
}

void SlotInterface::layoutExtras() {
    if (warning_ && remove_) warning_->setBounds(remove_->bounds.get().right + kGap, 1, 14, 14);
}

void SlotInterface::refresh() {
    if (!warning_) return;
    warning_->visible = warningShown();
    opacity = highlight_ == AbstractSlotController::Dimmed ? kDimmedOpacity : 255;
    invalidateAll();
}

bool SlotInterface::warningShown() const {
    ModMatrixParamController* c = editor_.slotController();
    if (!c || slot_ < 0) return false;
    return c->getSource(slot_) >= 0 && c->getTarget(slot_) >= 0 && !c->isBypassed(slot_) && !c->isSlotValid(slot_);
}

void SlotInterface::setHighlight(int state) {
    if (state == highlight_) return;
    highlight_ = state;
    invalidateAll();
}

void SlotInterface::removeClicked(void*) {
    // The row may be destroyed by what follows.
    const int slot = slot_;
    slots_.removeSlot(slot);
}

void SlotInterface::paint(gui::Canvas& canvas) {
    if (highlight_ == AbstractSlotController::Highlighted)
        canvas.fillRect(localRect(), gui::Rgba{72, 192, 204, 60});
    gui::Control::paint(canvas);
}
