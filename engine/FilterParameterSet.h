#pragma once

#include <string>

#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "framework/ToggleFloatPluginParameter.h"
#include "modulation/ModulationLayout.h"
#include "modulation/ModulationTargetParameter.h"
#include "wave/filters/GenericFilter.h"

class ModulationMatrixOwner;

// The parameters of one filter index, "Filter 1" or "Filter 2"; they drive the filter of that
// index in all four filter sections, and the modulation targets of its set in the modulation layout.
class FilterParameterSet : public PluginParameterSet {
public:
    static constexpr int kTargetsPerSet = modulationlayout::targetsPerSet(modulationlayout::FilterTargets);
    static constexpr int kFirstTarget = modulationlayout::firstTarget(modulationlayout::FilterTargets);

    FilterParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner,
                       const std::string& name, int firstTarget);

    void configure() override;

    ModulationTargetParameter freq;
    ModulationTargetParameter pan;
    ModulationTargetParameter peak;
    PropPluginParameter<int> characteristic;
    PropPluginParameter<GenericFilter::Response> response;
    PropPluginParameter<GenericFilter::Slope> slope;
    ToggleFloatPluginParameter<bool> enabled;
};
