#include "modulation/ModulationSlotParameterSetList.h"

#include "modulation/ModulationMatrixOwner.h"

ModulationSlotParameterSetList::ModulationSlotParameterSetList(ModulationMatrixOwner* owner,
                                                               GenericParameterOwner* plugin,
                                                               const std::string& sourceNames,
                                                               const std::string& targetNames)
    : TargetParameterSetList<ModulationSlotParameterSet>(plugin, "Slots", owner, kFirstSlotTarget, 1),
      ModulationMatrixParameterSet(owner, plugin, sourceNames, targetNames) {
    numActiveParameter().setIndexRange(0, kSlotSetCount, 0);
    for (int i = 0; i < slotSetCount(); ++i) addSharedSet(&slotSet(i));
    if (owner) owner->setSlotSetList(this);
}
