#pragma once

#include "framework/ParameterSetList.h"
#include "modulation/ModulationSlotHooks.h"

// A list whose set i owns the modulation targets first + i x perSet up to first + (i + 1) x perSet - 1.
// Removing a set clears the slots aimed at its targets, removes them from the slot list, and moves
// the slots aimed at the sets behind along with their sets.
template <typename T>
class TargetParameterSetList : public ParameterSetList<T> {
public:
    TargetParameterSetList(GenericParameterOwner* owner, const std::string& listName,
                           ModulationSlotHooks* hooks, int firstTarget, int targetsPerSet)
        : ParameterSetList<T>(owner, listName),
          firstTarget_(firstTarget),
          hooks_(hooks),
          targetsPerSet_(targetsPerSet) {}

    // UI thread.
    void removeAt(int position) override {
        ModulationSlotHooks::removeSetWithTargets(*this, position, hooks_, firstTarget_, targetsPerSet_);
    }

    int firstTarget() const { return firstTarget_; }
    int targetsPerSet() const { return targetsPerSet_; }
    ModulationSlotHooks* slotHooks() const { return hooks_; }

protected:
    int firstTarget_;
    ModulationSlotHooks* hooks_;
    int targetsPerSet_;
};
