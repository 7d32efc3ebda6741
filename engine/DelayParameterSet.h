#pragma once

#include <string>

#include "engine/EngineTypes.h"
#include "framework/PluginParameterSet.h"
#include "framework/PropPluginParameter.h"
#include "framework/ToggleFloatPluginParameter.h"
#include "modulation/ModulationTargetParameter.h"

class ModulationMatrixOwner;

// The parameters of one delay line, "Delay 1" or "Delay 2". Set d owns the modulation targets
// 5d (time) to 5d + 4 (pan).
class DelayParameterSet : public PluginParameterSet {
public:
    static constexpr int kTargetsPerSet = 5;

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
