#pragma once

#include <string>

#include "engine/EngineTypes.h"
#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "framework/ToggleFloatPluginParameter.h"
#include "modulation/ModulationLayout.h"
#include "modulation/ModulationTargetParameter.h"

class ModulationMatrixOwner;

// The parameters of one delay line, "Delay 1" or "Delay 2", with the modulation targets of its set
// in the modulation layout.
class DelayParameterSet : public PluginParameterSet {
public:
    static constexpr int kTargetsPerSet = modulationlayout::targetsPerSet(modulationlayout::DelayTargets);

    DelayParameterSet(GenericParameterOwner* owner, ModulationMatrixOwner* matrixOwner,
                      const std::string& name, int firstTarget);

    void configure() override;

    ModulationTargetParameter time;
    ModulationTargetParameter offset;
    PropPluginParameter<DelaySync> sync;
    ModulationTargetParameter feedback;
    ModulationTargetParameter crossFeedback;
    ToggleFloatPluginParameter<FeedbackInvert> feedbackInvert;
    ModulationTargetParameter pan;
};
