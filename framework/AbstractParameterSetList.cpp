#include "framework/AbstractParameterSetList.h"

#include <algorithm>

#include "framework/ModulationSlotHooks.h"
#include "wave/Producer.h"

AbstractParameterSetList::NumActiveParameter::NumActiveParameter(AbstractParameterSetList& list,
                                                                 GenericParameterOwner* owner,
                                                                 const std::string& listName)
    : PropPluginParameter<int>(owner, "Num Active " + listName), list_(list) {}

void AbstractParameterSetList::NumActiveParameter::applyToEngine(float plain) {
    PropPluginParameter<int>::applyToEngine(plain);
    list_.applyActiveCount(rawOfIndex(toIndex(plain)));
}

AbstractParameterSetList::AbstractParameterSetList(GenericParameterOwner* owner, const std::string& listName)
    : numActive_(*this, owner, listName), owner_(owner) {}

void AbstractParameterSetList::collectParameters(std::vector<AbstractPluginParameter*>& collection) {
    collection.push_back(&numActive_);
    AbstractParameterSetArray::collectParameters(collection);
}

int AbstractParameterSetList::firstParameterIndex() {
    return numActive_.index();
}

void AbstractParameterSetList::addProducerTable(wave::Producer* const* table) {
    producerTables_.push_back(table);
}

void AbstractParameterSetList::applyActiveCount(int count) {
    int positions = std::min(maximumCount(), getSetCount());
    for (wave::Producer* const* table : producerTables_)
        for (int j = 0; j < positions; ++j)
            if (table[j]) table[j]->setEnabled(j < count);
}

void AbstractParameterSetList::insertAt(int position) {
    int n = activeCount();
    if (position > n || n >= maximumCount()) return;
    owner_->beginUpdate();
    numActive_.setValue(float(n + 1), 0);
    int p = std::max(position, 1);
    for (int i = n; i >= p; --i) getSet(i)->copyValuesFrom(*getSet(i - 1));
    owner_->endUpdate();
}

bool AbstractParameterSetList::canRemove(int position) const {
    int n = activeCount();
    return position >= 0 && position < n && n > minimumCount();
}

void AbstractParameterSetList::removeAt(int position) {
    if (!canRemove(position)) return;
    int n = activeCount();
    owner_->beginUpdate();
    numActive_.setValue(float(n - 1), 0);
    for (int i = position; i <= n - 2; ++i) getSet(i)->copyValuesFrom(*getSet(i + 1));
    getSet(n - 1)->resetToDefaults();
    owner_->endUpdate();
}

void AbstractParameterSetList::removeClearedSlots(ModulationSlotHooks& hooks, std::vector<int>& cleared) {
    std::sort(cleared.begin(), cleared.end());
    cleared.erase(std::unique(cleared.begin(), cleared.end()), cleared.end());
    // Highest first, so the numbers still to remove stay valid while the slots behind close up.
    for (auto slot = cleared.rbegin(); slot != cleared.rend(); ++slot) hooks.removeSlot(*slot);
}

void AbstractParameterSetList::removeWithTargets(int position, ModulationSlotHooks* hooks, int firstTarget,
                                                 int targetsPerSet) {
    if (!canRemove(position)) return;
    if (!hooks || targetsPerSet <= 0) {
        AbstractParameterSetList::removeAt(position);
        return;
    }
    owner_->beginUpdate();
    std::vector<int> cleared;
    for (int k = 0; k < targetsPerSet; ++k)
        hooks->clearSlotsOfTarget(firstTarget + position * targetsPerSet + k, cleared);
    if (hooks->slotList() == this) {
        // This is the slot list: the slot being removed goes below, whatever modulated it; the
        // removal of cleared slots in front of it moves it down.
        cleared.erase(std::remove(cleared.begin(), cleared.end(), position), cleared.end());
        std::sort(cleared.begin(), cleared.end());
        cleared.erase(std::unique(cleared.begin(), cleared.end()), cleared.end());
        position -=
            int(std::count_if(cleared.begin(), cleared.end(), [&](int slot) { return slot < position; }));
    }
    removeClearedSlots(*hooks, cleared);
    AbstractParameterSetList::removeAt(position);

    int behind = firstTarget + (position + 1) * targetsPerSet;
    int end = firstTarget + maximumCount() * targetsPerSet;
    for (int slot = 0; slot < hooks->slotCount(); ++slot) {
        int target = hooks->slotTarget(slot);
        if (target >= behind && target < end) hooks->setSlotTarget(slot, target - targetsPerSet);
    }
    owner_->endUpdate();
}

void AbstractParameterSetList::removeWithSources(int position, ModulationSlotHooks* hooks, int firstTarget,
                                                 int targetsPerSet, int firstSource, int sourcesPerSet) {
    if (!canRemove(position)) return;
    if (!hooks) {
        AbstractParameterSetList::removeAt(position);
        return;
    }
    owner_->beginUpdate();
    int first = firstSource + position * sourcesPerSet;
    std::vector<int> cleared;
    for (int k = 0; k < sourcesPerSet; ++k) hooks->clearSlotsOfSource(first + k, cleared);
    removeClearedSlots(*hooks, cleared);
    removeWithTargets(position, hooks, firstTarget, targetsPerSet);

    int behind = first + sourcesPerSet;
    int end = firstSource + maximumCount() * sourcesPerSet;
    for (int slot = 0; slot < hooks->slotCount(); ++slot) {
        int source = hooks->slotSource(slot);
        if (source >= behind && source < end) hooks->setSlotSource(slot, source - sourcesPerSet);
    }
    owner_->endUpdate();
}
