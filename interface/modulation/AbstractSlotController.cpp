#include "interface/modulation/AbstractSlotController.h"

#include <algorithm>

#include "gui/ValueControl.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationSlotParameterSetList.h"

namespace {
constexpr int kFirstLevel = ModulationMatrixPluginInterface::kFirstSlotLevelTarget;
}

AbstractSlotController::AbstractSlotController(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor)
    : gui::Component(ui), editor_(editor), states_(std::size_t(ModulationMatrix::kSlotCount), Normal) {}

AbstractSlotController::~AbstractSlotController() {
    for (gui::ValueControl* c : pressWatched_) c->mouseDownEvent.removeHandlers(this);
}

void AbstractSlotController::targetControlChanged(int, gui::ValueControl* control, int target, int code) {
    using TL = ModulationMatrixPluginInterface::TargetListener;
    if (!control) return;
    if (code == TL::Added || code == TL::Moved) {
        control->mouseDownEvent.removeHandlers(this);
        std::erase(pressWatched_, control);
        // Slot levels are edited inside the list; pressing them must not refilter it.
        if (target >= kFirstLevel) return;
        control->mouseDownEvent.addHandler(this, &AbstractSlotController::targetPressed);
        pressWatched_.push_back(control);
    } else {
        control->mouseDownEvent.removeHandlers(this);
        std::erase(pressWatched_, control);
    }
}

void AbstractSlotController::targetPressed(void* sender) {
    const int target = editor_.targetOf(static_cast<gui::Control*>(sender));
    if (target < 0 || target >= kFirstLevel) return;
    if (!isTargetFilter(target, 1)) setTargetFilter(target, 1);
}

void AbstractSlotController::setSourceFilter(int firstSource, int count) {
    if (firstSource_ == firstSource && sourceCount_ == count && targetCount_ == 0) return;
    firstSource_ = firstSource;
    sourceCount_ = count;
    firstTarget_ = -1;
    targetCount_ = 0;
    refreshAll();
}

void AbstractSlotController::setTargetFilter(int firstTarget, int count) {
    if (isTargetFilter(firstTarget, count)) return;
    firstTarget_ = firstTarget;
    targetCount_ = count;
    firstSource_ = -1;
    sourceCount_ = 0;
    refreshAll();
}

void AbstractSlotController::clearFilter() {
    if (!hasFilter()) return;
    firstSource_ = firstTarget_ = -1;
    sourceCount_ = targetCount_ = 0;
    refreshAll();
}

bool AbstractSlotController::isTargetFilter(int firstTarget, int count) const {
    return targetCount_ > 0 && firstTarget_ == firstTarget && targetCount_ == count;
}

void AbstractSlotController::refreshAll() {
    const int count = activeSlotCount();
    updateSlots(count, -1);
    for (Listener* l : listeners_) l->slotsChanged(count);
}

void AbstractSlotController::addListener(Listener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void AbstractSlotController::removeListener(Listener* listener) {
    std::erase(listeners_, listener);
}

int AbstractSlotController::activeSlotCount() const {
    ModulationSlotParameterSetList* list = editor_.slotList();
    return list ? list->activeCount() : 0;
}

int AbstractSlotController::highlightState(int slot) const {
    return slot >= 0 && slot < int(states_.size()) ? states_[std::size_t(slot)] : Normal;
}

bool AbstractSlotController::slotHighlighted(int slot, int activeCount) const {
    ModMatrixParamController* c = editor_.slotController();
    if (!c) return false;
    if (sourceCount_ > 0) {
        const int s = c->getSource(slot);
        return s >= firstSource_ && s < firstSource_ + sourceCount_;
    }
    // Along the chain of slots that modulate the level of the slot before them.
    std::vector<bool> visited(std::size_t(activeCount), false);
    int current = slot;
    while (current >= 0 && current < activeCount && !visited[std::size_t(current)]) {
        visited[std::size_t(current)] = true;
        const int t = c->getTarget(current);
        if (t >= firstTarget_ && t < firstTarget_ + targetCount_) return true;
        const int levelOf = t - kFirstLevel;
        if (t < kFirstLevel || levelOf == current) return false;
        current = levelOf;
    }
    return false;
}

void AbstractSlotController::computeHighlights(int activeCount, int changedSlot) {
    std::fill(states_.begin(), states_.end(), Normal);
    if (!hasFilter()) return;
    bool any = false;
    const int n = std::min(activeCount, int(states_.size()));
    for (int i = 0; i < n; ++i) {
        const bool on = slotHighlighted(i, n);
        states_[std::size_t(i)] = on ? Highlighted : Dimmed;
        any = any || on;
    }
    const bool changedOff = changedSlot >= 0 && changedSlot < n && states_[std::size_t(changedSlot)] != Highlighted;
    if (!any || changedOff) {
        firstSource_ = firstTarget_ = -1;
        sourceCount_ = targetCount_ = 0;
        std::fill(states_.begin(), states_.end(), Normal);
    }
}

void AbstractSlotController::removeSlot(int slot) {
    ModulationSlotParameterSetList* list = editor_.slotList();
    if (!list || slot < 0 || slot >= list->activeCount()) return;
    list->removeAt(slot);
    editor_.refreshControls();
}

int AbstractSlotController::createSlot(int source, int target) {
    ModulationSlotParameterSetList* list = editor_.slotList();
    ModMatrixParamController* c = editor_.slotController();
    if (!list || !c) return -1;
    const int count = list->activeCount();
    if (count >= list->maximumCount()) {
        editor_.showMessage(ModulationMatrixPluginInterface::kNoFreeSlots,
                            GenericPluginInterface::ShowAlways | GenericPluginInterface::FadeOut);
        return -1;
    }
    const int countIndex = list->numActiveParameter().index();
    // One gesture: one undo step and one touch of the host for the whole connection.
    editor_.beginEdit(countIndex);
    c->beginUpdate();
    list->numActiveParameter().setValue(float(count + 1), 0);
    c->connect(count, source, target);
    c->endUpdate();
    editor_.endEdit(countIndex);
    return count;
}

int AbstractSlotController::slotOfParameter(int parameterIndex) const {
    ModulationSlotParameterSetList* list = editor_.slotList();
    if (!list || parameterIndex < 0) return -1;
    for (int i = 0; i < list->getSetCount(); ++i) {
        ModulationSlotParameterSet& s = list->set(i);
        for (const AbstractPluginParameter* p : {static_cast<const AbstractPluginParameter*>(&s.source),
                                                 static_cast<const AbstractPluginParameter*>(&s.level),
                                                 static_cast<const AbstractPluginParameter*>(&s.bypass),
                                                 static_cast<const AbstractPluginParameter*>(&s.invert),
                                                 static_cast<const AbstractPluginParameter*>(&s.target)})
            if (p->index() == parameterIndex) return i;
    }
    return -1;
}

void AbstractSlotController::refreshSlots(int parameterIndex) {
    ModulationSlotParameterSetList* list = editor_.slotList();
    if (!list) return;
    if (parameterIndex >= 0 && !list->containsParameter(parameterIndex)) return;
    const int count = list->activeCount();
    updateSlots(count, slotOfParameter(parameterIndex));
    for (Listener* l : listeners_) l->slotsChanged(count);
}
