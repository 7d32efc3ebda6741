#pragma once

#include "modulation/TargetParameterSetList.h"

// A list whose set i provides the modulation sources first + i x perSet onwards (and may own targets
// as a target list does). Removing a set clears and removes the slots that use its sources or aim at
// its targets, and the slots using the sources of the sets behind follow their sets.
template <typename T>
class SourceParameterSetList : public TargetParameterSetList<T> {
public:
    SourceParameterSetList(GenericParameterOwner* owner, const std::string& listName,
                           ModulationSlotHooks* hooks, int firstTarget, int targetsPerSet, int firstSource,
                           int sourcesPerSet)
        : TargetParameterSetList<T>(owner, listName, hooks, firstTarget, targetsPerSet),
          firstSource_(firstSource),
          sourcesPerSet_(sourcesPerSet) {}

    // UI thread.
    void removeAt(int position) override {
        ModulationSlotHooks::removeSetWithSources(*this, position, this->hooks_, this->firstTarget_,
                                                  this->targetsPerSet_, firstSource_, sourcesPerSet_);
    }

    int firstSource() const { return firstSource_; }
    int sourcesPerSet() const { return sourcesPerSet_; }

private:
    int firstSource_;
    int sourcesPerSet_;
};
