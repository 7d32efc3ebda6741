#pragma once

#include <string>

#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "framework/ToggleFloatPluginParameter.h"
#include "modulation/ModulationTargetParameter.h"
#include "wave/filters/GenericFilter.h"

class ModulationMatrixOwner;

// The parameters of one filter index, "Filter 1" or "Filter 2"; they drive the filter of that
// index in all four filter sections. Set f owns the targets 10 + 3f (frequency) to 12 + 3f (peak).
class FilterParameterSet : public PluginParameterSet {
public:
    static constexpr int kTargetsPerSet = 3;
    static constexpr int kFirstTarget = 10;

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
