#include "modulation/ModulationSlotHooks.h"

#include <algorithm>

#include "framework/AbstractParameterSetList.h"

namespace {

void removeClearedSlots(ModulationSlotHooks& hooks, std::vector<int>& cleared) {
    std::sort(cleared.begin(), cleared.end());
    cleared.erase(std::unique(cleared.begin(), cleared.end()), cleared.end());
    // Highest first, so the numbers still to remove stay valid while the slots behind close up.
    for (auto slot = cleared.rbegin(); slot != cleared.rend(); ++slot) hooks.removeSlot(*slot);
}

}  // namespace

void ModulationSlotHooks::removeSetWithTargets(AbstractParameterSetList& list, int position, ModulationSlotHooks* hooks,
                                               int firstTarget, int targetsPerSet) {
    if (!list.canRemove(position)) return;
    if (!hooks || targetsPerSet <= 0) {
        list.AbstractParameterSetList::removeAt(position);
        return;
    }
    GenericParameterOwner* owner = list.owner();
    owner->beginUpdate();
    std::vector<int> cleared;
    for (int k = 0; k < targetsPerSet; ++k)
        hooks->clearSlotsOfTarget(firstTarget + position * targetsPerSet + k, cleared);
    if (hooks->slotList() == &list) {
        // This is the slot list: the slot being removed goes below, whatever modulated it; the
        // removal of cleared slots in front of it moves it down.
        cleared.erase(std::remove(cleared.begin(), cleared.end(), position), cleared.end());
        std::sort(cleared.begin(), cleared.end());
        cleared.erase(std::unique(cleared.begin(), cleared.end()), cleared.end());
        position -=
            int(std::count_if(cleared.begin(), cleared.end(), [&](int slot) { return slot < position; }));
    }
    removeClearedSlots(*hooks, cleared);
    list.AbstractParameterSetList::removeAt(position);

    int behind = firstTarget + (position + 1) * targetsPerSet;
    int end = firstTarget + list.maximumCount() * targetsPerSet;
    for (int slot = 0; slot < hooks->slotCount(); ++slot) {
        int target = hooks->slotTarget(slot);
        if (target >= behind && target < end) hooks->setSlotTarget(slot, target - targetsPerSet);
    }
    owner->endUpdate();
}

void ModulationSlotHooks::removeSetWithSources(AbstractParameterSetList& list, int position, ModulationSlotHooks* hooks,
                                               int firstTarget, int targetsPerSet, int firstSource,
                                               int sourcesPerSet) {
    if (!list.canRemove(position)) return;
    if (!hooks) {
        list.AbstractParameterSetList::removeAt(position);
        return;
    }
    GenericParameterOwner* owner = list.owner();
    owner->beginUpdate();
    int first = firstSource + position * sourcesPerSet;
    std::vector<int> cleared;
    for (int k = 0; k < sourcesPerSet; ++k) hooks->clearSlotsOfSource(first + k, cleared);
    removeClearedSlots(*hooks, cleared);
    removeSetWithTargets(list, position, hooks, firstTarget, targetsPerSet);

    int behind = first + sourcesPerSet;
    int end = firstSource + list.maximumCount() * sourcesPerSet;
    for (int slot = 0; slot < hooks->slotCount(); ++slot) {
        int source = hooks->slotSource(slot);
        if (source >= behind && source < end) hooks->setSlotSource(slot, source - sourcesPerSet);
    }
    owner->endUpdate();
}
