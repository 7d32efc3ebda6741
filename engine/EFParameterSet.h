#pragma once

#include <string>

#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "framework/SourceParameterSetList.h"
#include "modulation/ModulationTargetParameter.h"

// One envelope follower, "EF n", owning the targets 70 + 2 (n - 1) (attack) and 71 + 2 (n - 1).
class EFParameterSet : public PluginParameterSet {
public:
    static constexpr int kTargetsPerSet = 2;

    EFParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner, const std::string& name,
                   int firstTarget);
    void configure() override;

    PropPluginParameter<int> input;
    ModulationTargetParameter attack;
    ModulationTargetParameter release;
};

// "EFs": up to four envelope followers, sources 20 to 23, targets 70 to 77.
class EFParameterSetList : public SourceParameterSetList<EFParameterSet> {
public:
    static constexpr int kSets = 4;
    static constexpr int kFirstSource = 20;
    static constexpr int kFirstTarget = 70;
    EFParameterSetList(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner);
};
