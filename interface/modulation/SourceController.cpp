#include "interface/modulation/SourceController.h"

#include <algorithm>
#include <functional>

#include "framework/AbstractParameterSetList.h"
#include "gui/Canvas.h"
#include "gui/Label.h"
#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"
#include "gui/ScrollArea.h"
#include "gui/ScrollButton.h"
#include "gui/ScrollStrip.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"
#include "interface/modulation/ModulationArt.h"
#include "interface/modulation/ModulationIndicatorManager.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"
#include "interface/modulation/SourceContainer.h"
#include "interface/modulation/SourceInterface.h"
#include "interface/modulation/SourceSelectionBar.h"
#include "interface/modulation/SourceSlotController.h"
#include "interface/sources/LorimaneSourceInterface.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationSlotParameterSetList.h"

namespace {

constexpr gui::Rgba kBackground{34, 38, 44, 255};
constexpr gui::Rgba kHintInk{150, 156, 164, 255};
constexpr int kHintWidth = 420;
// The section's top edge stays clear for the Modulation button above it.
constexpr int kTopMargin = 2;

// The strip's content: the panels side by side; it lays them out again when one changes size.
class SourceRow : public gui::Control {
public:
    SourceRow(gui::UserInterface* ui, std::function<void()> relayout) : gui::Control(ui), relayout_(std::move(relayout)) {}
    void childChanged(gui::Control* source, int kind) override {
        gui::Control::childChanged(source, kind);
        if (!busy && kind == BoundsChanged && relayout_) relayout_();
    }
    void paint(gui::Canvas& canvas) override {
        // Solid for the hit test: a click on the row's empty part clears the highlight.
        canvas.fillRect(localRect(), gui::Rgba{0, 0, 0, 1});
        gui::Control::paint(canvas);
    }
    bool busy = false;

private:
    std::function<void()> relayout_;
};

// The values of every parameter of a list, to tell whether anything changed it.
std::vector<float> snapshotOf(AbstractParameterSetList* list) {
    std::vector<AbstractPluginParameter*> parameters;
    list->collectParameters(parameters);
    std::vector<float> values;
    values.reserve(parameters.size());
    for (AbstractPluginParameter* p : parameters) values.push_back(p->value());
    return values;
}

}  // namespace

void SourceController::Listener::showSet(LorimaneSourceInterface& panel, int set) {
    panel.setIndex(set);
}

SourceController::SourceController(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor, Listener& factory,
                                   const ModulationArt& art)
    : gui::Control(ui), editor_(editor), factory_(factory), art_(art) {
    menu_ = ui->createPopupMenu();
    auto sort = std::make_unique<gui::MenuItem>(kSortSlots);
    sort->chosenEvent.setOwnerHandler(this, &SourceController::menuItemChosen);
    menu_->addItem(std::move(sort));

    strip_ = new gui::ScrollStrip(ui, art.scrollLeft, art.scrollRight);
    strip_->parent = this;
    editor_.dragManager().addDragItem(&strip_->leftButton(), true, true);
    editor_.dragManager().addDragItem(&strip_->rightButton(), true, true);
    auto* row = new SourceRow(ui, [this] { layoutRow(); });
    row_ = row;
    row_->clickEvent.setOwnerHandler(this, &SourceController::stripClicked);
    row_->parent = &strip_->area();
    hint_ = new gui::Label(ui);
    hint_->text().colour = kHintInk;
    hint_->text().size = 9;
    hint_->interactive = false;
    hint_->visible = false;
    hint_->parent = row_;

    slots_ = std::make_unique<SourceSlotController>(ui, editor_, *this);
    indicators_ = std::make_unique<ModulationIndicatorManager>(ui, editor_, *slots_);
    slots_->addListener(indicators_.get());
    editor_.addTargetListener(slots_.get());
    editor_.addTargetListener(indicators_.get());

    bar_ = new SourceSelectionBar(ui, *this);
    bar_->parent = this;

    removalTimer_ = ui->createTimer();
    removalTimer_->interval = kRemovalMs;
    removalTimer_->firedEvent.setOwnerHandler(this, &SourceController::removalFinished);
    additionTimer_ = ui->createTimer();
    additionTimer_->interval = kAdditionTimeoutMs;
    additionTimer_->firedEvent.setOwnerHandler(this, &SourceController::additionExpired);
}

SourceController::~SourceController() {
    editor_.removeTargetListener(slots_.get());
    editor_.removeTargetListener(indicators_.get());
    if (isUiDestroying()) return;
    editor_.dragManager().removeDragItem(&strip_->leftButton());
    editor_.dragManager().removeDragItem(&strip_->rightButton());
    for (Kind& k : kinds_) k.shown.clear();
    deleteAllChildren();
    delete removalTimer_;
    delete additionTimer_;
}

void SourceController::addSourceKind(AbstractParameterSetList* list, const std::string& typeName, int presetKind,
                                     int sourcesPerSet) {
    if (!list) return;
    kinds_.push_back({list, typeName, presetKind, std::max(1, sourcesPerSet), {}});
    auto item = std::make_unique<gui::MenuItem>("New " + typeName);
    item->chosenEvent.setOwnerHandler(this, &SourceController::menuItemChosen);
    menu_->insertItem(menu_->itemCount() - 1, std::move(item));
}

AbstractParameterSetList* SourceController::list(int kind) const {
    return kind >= 0 && kind < kindCount() ? kinds_[std::size_t(kind)].list : nullptr;
}

int SourceController::firstSourceOf(int kind, int set, int* count) const {
    int first = 0;
    for (int k = 0; k < kind && k < kindCount(); ++k)
        first += kinds_[std::size_t(k)].list->maximumCount() * kinds_[std::size_t(k)].sourcesPerSet;
    const int perSet = kind >= 0 && kind < kindCount() ? kinds_[std::size_t(kind)].sourcesPerSet : 1;
    if (count) *count = perSet;
    return first + set * perSet;
}

std::vector<SourceInterface*> SourceController::interfaces() const {
    std::vector<SourceInterface*> all;
    for (const Kind& k : kinds_) all.insert(all.end(), k.shown.begin(), k.shown.end());
    return all;
}

SourceInterface* SourceController::interfaceOf(int kind, int set) const {
    if (kind < 0 || kind >= kindCount() || set < 0) return nullptr;
    const auto& shown = kinds_[std::size_t(kind)].shown;
    return set < int(shown.size()) ? shown[std::size_t(set)] : nullptr;
}

// --- adding and removing -------------------------------------------------------------------------

void SourceController::menuItemChosen(void* sender) {
    const int index = menu_->indexOf(static_cast<gui::MenuItem*>(sender));
    if (index >= 0 && index < kindCount())
        addSource(index);
    else if (index == kindCount())
        sortSlots();
}

void SourceController::addSource(int kind) {
    if (additionPending() || removalPending()) return;
    AbstractParameterSetList* l = list(kind);
    if (!l) return;
    const int active = l->activeCount();
    if (active >= l->maximumCount()) return;
    pendingAdd_ = {kind, active};
    additionTimer_->running = false;
    additionTimer_->running = true;
    const int countIndex = l->numActiveParameter().index();
    const AbstractPluginParameter& count = l->numActiveParameter();
    // The new source and its default settings are one step for undo.
    editor_.beginEdit(countIndex);
    editor_.setNormalized(countIndex, count.plainToNormalized(float(active + 1)));
    const int presetKind = kinds_[std::size_t(kind)].presetKind;
    const bool applied = presetKind >= 0 && factory_.applyDefaultPreset(presetKind, active);
    editor_.endEdit(countIndex);
    if (!applied) editor_.refreshControls();
}

void SourceController::removeSource(int kind, int set) {
    if (additionPending() || removalPending()) return;
    SourceInterface* shown = interfaceOf(kind, set);
    AbstractParameterSetList* l = list(kind);
    if (!shown || !l || set >= l->activeCount()) return;
    pendingRemove_ = {kind, set};
    removing_ = shown;
    removalSnapshot_ = snapshotOf(l);
    // The panel fades while the removal waits.
    shown->interactive = false;
    shown->opacity = 96;
    removalTimer_->running = true;
}

void SourceController::removalFinished(void*) {
    removalTimer_->running = false;
    const Pending pending = pendingRemove_;
    pendingRemove_ = {};
    SourceInterface* shown = removing_;
    removing_ = nullptr;
    AbstractParameterSetList* l = list(pending.kind);
    if (!l) return;
    // A preset load, undo or automation since the click may have moved the sets: the click meant
    // a set that is no longer there, so nothing is removed.
    const bool unchanged = snapshotOf(l) == removalSnapshot_ && interfaceOf(pending.kind, pending.set) == shown;
    removalSnapshot_.clear();
    if (!unchanged) {
        if (shown && std::find(kinds_[std::size_t(pending.kind)].shown.begin(),
                               kinds_[std::size_t(pending.kind)].shown.end(),
                               shown) != kinds_[std::size_t(pending.kind)].shown.end()) {
            shown->interactive = true;
            shown->opacity = 255;
        }
        rebuild();
        return;
    }
    auto& list = kinds_[std::size_t(pending.kind)].shown;
    std::erase(list, shown);
    delete shown;
    const int countIndex = l->numActiveParameter().index();
    editor_.beginEdit(countIndex);
    l->removeAt(pending.set);
    editor_.endEdit(countIndex);
    rebuild();
    editor_.refreshControls();
}

void SourceController::additionExpired(void*) {
    additionTimer_->running = false;
    pendingAdd_ = {};
}

void SourceController::sortSlots() {
    ModMatrixParamController* c = editor_.slotController();
    ModulationSlotParameterSetList* slots = editor_.slotList();
    if (!c || !slots) return;
    const int countIndex = slots->numActiveParameter().index();
    editor_.beginEdit(countIndex);
    c->beginUpdate();
    c->sortSlots(slots->activeCount(), nullptr);
    c->endUpdate();
    editor_.endEdit(countIndex);
    editor_.refreshControls();
}

// --- following the parameters --------------------------------------------------------------------

int SourceController::kindOfList(int parameterIndex) {
    for (int k = 0; k < kindCount(); ++k)
        if (kinds_[std::size_t(k)].list->containsParameter(parameterIndex)) return k;
    return -1;
}

void SourceController::parameterChanged(int index) {
    if (index == -1) {
        rebuild();
        return;
    }
    const int kind = kindOfList(index);
    if (kind < 0) {
        slots_->refreshSlots(index);
        return;
    }
    if (index == kinds_[std::size_t(kind)].list->numActiveParameter().index())
        rebuild();
    else
        bar_->refresh();
}

void SourceController::rebuild() {
    if (rebuilding_) return;
    rebuilding_ = true;
    SourceInterface* added = nullptr;
    for (int k = 0; k < kindCount(); ++k) {
        Kind& kind = kinds_[std::size_t(k)];
        const int active = kind.list->activeCount();
        for (int set = 0; set < active; ++set) {
            if (set >= int(kind.shown.size())) {
                LorimaneSourceInterface* panel = factory_.createSourceInterface(k, set);
                if (!panel) break;
                auto* shown = new SourceInterface(userInterface(), *this, panel, k, kind.sourcesPerSet);
                shown->parent = row_;
                kind.shown.push_back(shown);
                if (pendingAdd_.kind == k && pendingAdd_.set == set) added = shown;
            }
            SourceInterface* shown = kind.shown[std::size_t(set)];
            shown->setIndex(set, firstSourceOf(k, set));
            shown->refresh();
        }
        // Panels beyond the count go; the one whose removal is running stays until it ends.
        while (int(kind.shown.size()) > active) {
            SourceInterface* extra = kind.shown.back();
            if (extra == removing_) break;
            kind.shown.pop_back();
            delete extra;
        }
    }
    layoutRow();
    slots_->refreshSlots(-1);
    if (added) scrollToSource(pendingAdd_.kind, pendingAdd_.set);
    pendingAdd_ = {};
    additionTimer_->running = false;
    rebuilding_ = false;
}

void SourceController::slotsUpdated(int) {
    layoutRow();
    updateHint();
    bar_->refresh();
}

void SourceController::updateHint() {
    const std::string text = hintText();
    hint_->text().text = text;
    hint_->visible = !text.empty();
    layoutRow();
}

std::string SourceController::hintText() const {
    int shown = 0;
    for (const Kind& k : kinds_) shown += int(k.shown.size());
    if (slots_->activeSlotCount() > 0 || shown > 1) return {};
    return shown == 1 ? kHintNoSlots : kHintNoSources;
}

// --- layout --------------------------------------------------------------------------------------

void SourceController::layoutRow() {
    auto* row = static_cast<SourceRow*>(row_);
    if (row->busy) return;
    row->busy = true;
    int x = 0;
    int height = strip_->area().height();
    for (SourceInterface* shown : interfaces()) {
        shown->setPosition({x, std::max(0, (height - shown->height()) / 2)});
        x += shown->width() + SourceInterface::kGap * 2;
    }
    if (hint_->visible.get()) {
        hint_->setBounds(x + 8, height / 2 - 8, kHintWidth, 16);
        x += 8 + kHintWidth;
    }
    row_->setBounds(row_->bounds.get().left, 0, std::max(x, 1), height);
    row->busy = false;
    bar_->refresh();
}

void SourceController::resized() {
    bar_->setBounds(0, kTopMargin, width(), kBarHeight);
    strip_->setBounds(0, kTopMargin + kBarHeight + 2, width(), std::max(0, height() - kTopMargin - kBarHeight - 4));
    layoutRow();
}

void SourceController::scrollToSource(int kind, int set) {
    SourceInterface* shown = interfaceOf(kind, set);
    if (!shown) return;
    gui::ScrollArea& area = strip_->area();
    const int left = row_->bounds.get().left + shown->bounds.get().left;
    const float centred = area.scrollPosition() + float(left - (area.width() - shown->width()) / 2);
    area.setScrollPosition(shown->width() <= area.width() ? centred : area.scrollPosition() + float(left));
}

void SourceController::stripClicked(void*) {
    slots_->clearFilter();
}

void SourceController::clicked() {
    slots_->clearFilter();
}

void SourceController::paint(gui::Canvas& canvas) {
    canvas.fillRect(gui::Rect::ofSize(0, kTopMargin, width(), std::max(0, height() - kTopMargin)), kBackground);
    gui::Control::paint(canvas);
}
