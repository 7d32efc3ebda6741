#pragma once

#include <string>

#include "modulation/ModulationMatrixParameterSet.h"
#include "modulation/ModulationSlotParameterSet.h"
#include "modulation/TargetParameterSetList.h"

// The slot list "Slots": 0 to 24 active slots, set i owning target 83 + i (its level). Removing a
// slot also removes the slots that modulated its level, and slots aimed at the levels of the slots
// behind it follow them, so the list never has gaps. The sets belong to the ModulationMatrixParameterSet
// part.
class ModulationSlotParameterSetList : public TargetParameterSetList<ModulationSlotParameterSet>,
                                       public ModulationMatrixParameterSet {
public:
    ModulationSlotParameterSetList(ModulationMatrixOwner* owner, GenericParameterOwner* plugin,
                                   const std::string& sourceNames, const std::string& targetNames);
};
