#pragma once

#include <vector>

class AbstractParameterSetList;

// What parameter set lists need from the modulation matrix to keep the slots consistent when a set
// that provides sources or owns targets is removed. The matrix's owner implements it. UI thread.
class ModulationSlotHooks {
public:
    virtual ~ModulationSlotHooks() = default;

    // Clears every slot that modulates the target and, recursively, every slot modulating the level
    // of a cleared slot; appends the numbers of the cleared slots.
    virtual void clearSlotsOfTarget(int target, std::vector<int>& cleared) = 0;
    // Clears every slot that uses the source and every slot modulating one of the source's own
    // targets, recursively as above; appends the numbers of the cleared slots.
    virtual void clearSlotsOfSource(int source, std::vector<int>& cleared) = 0;
    // Removes the slot from the slot list, so the slots behind it close up.
    virtual void removeSlot(int slot) = 0;
    // The list of slot parameter sets, whose targets are the slots' levels.
    virtual const AbstractParameterSetList* slotList() const = 0;

    // Every slot, active or not. Source and target -1 mean none.
    virtual int slotCount() const = 0;
    virtual int slotSource(int slot) const = 0;
    virtual void setSlotSource(int slot, int source) = 0;
    virtual int slotTarget(int slot) const = 0;
    virtual void setSlotTarget(int slot, int target) = 0;

    // Removal of the set at position from a list whose set i owns the targets firstTarget +
    // i x targetsPerSet onwards: slots modulating its targets are cleared and removed, the set is
    // removed, and slots aimed at the sets behind it follow their set. Without hooks, a plain removal.
    static void removeSetWithTargets(AbstractParameterSetList& list, int position, ModulationSlotHooks* hooks,
                                     int firstTarget, int targetsPerSet);
    // The same for a list whose sets also provide sources: slots using the set's sources are cleared
    // and removed too, and slots using the sources of the sets behind follow their set.
    static void removeSetWithSources(AbstractParameterSetList& list, int position, ModulationSlotHooks* hooks,
                                     int firstTarget, int targetsPerSet, int firstSource, int sourcesPerSet);
};
