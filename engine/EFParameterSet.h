#pragma once

#include <string>

#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "modulation/ModulationLayout.h"
#include "modulation/ModulationTargetParameter.h"
#include "modulation/SourceParameterSetList.h"

// One envelope follower, "EF n", owning the targets 70 + 2 (n - 1) (attack) and 71 + 2 (n - 1).
class EFParameterSet : public PluginParameterSet {
public:
    static constexpr int kTargetsPerSet = modulationlayout::targetsPerSet(modulationlayout::EFTargets);

    EFParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner, const std::string& name,
                   int firstTarget);
    void configure() override;

    PropPluginParameter<int> input;
    ModulationTargetParameter attack;
    ModulationTargetParameter release;
};

// "EFs": up to four envelope followers, one source and two targets each.
class EFParameterSetList : public SourceParameterSetList<EFParameterSet> {
public:
    static constexpr int kSets = modulationlayout::kSourceGroups[modulationlayout::EFSources].sets;
    static constexpr int kFirstSource = modulationlayout::firstSource(modulationlayout::EFSources);
    static constexpr int kFirstTarget = modulationlayout::firstTarget(modulationlayout::EFTargets);
    EFParameterSetList(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner);
};
