#pragma once

#include <string>

#include "framework/LimFloatPropPluginParameter.h"
#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "modulation/ModulationLayout.h"
#include "modulation/ModulationTargetParameter.h"
#include "modulation/SourceParameterSetList.h"
#include "modulation/Triggering.h"

// One envelope generator, "EG n", owning the targets 34 + 6 (n - 1) (hold) to 39 + 6 (n - 1)
// (release).
class EGParameterSet : public PluginParameterSet {
public:
    static constexpr int kTargetsPerSet = modulationlayout::targetsPerSet(modulationlayout::EGTargets);

    EGParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner, const std::string& name,
                   int firstTarget);
    void configure() override;

    ModulationTargetParameter hold;
    ModulationTargetParameter delay;
    LimFloatPropPluginParameter threshold;
    PropPluginParameter<Triggering> triggering;
    ModulationTargetParameter attack;
    ModulationTargetParameter decay;
    ModulationTargetParameter sustain;
    ModulationTargetParameter release;
};

// "EGs": up to six envelope generators, one source and six targets each.
class EGParameterSetList : public SourceParameterSetList<EGParameterSet> {
public:
    static constexpr int kSets = modulationlayout::kSourceGroups[modulationlayout::EGSources].sets;
    static constexpr int kFirstSource = modulationlayout::firstSource(modulationlayout::EGSources);
    static constexpr int kFirstTarget = modulationlayout::firstTarget(modulationlayout::EGTargets);
    EGParameterSetList(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner);
};
