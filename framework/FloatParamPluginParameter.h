#pragma once

#include <vector>

#include "framework/FloatPluginParameter.h"

class SmoothedValue;

// Continuous parameter that drives smoothed processing values: each bound value ramps to the engine
// value with the automatic ramp time.
class FloatParamPluginParameter : public FloatPluginParameter {
public:
    using FloatPluginParameter::FloatPluginParameter;

    // Construction. Answers the position of the new binding.
    int bind(SmoothedValue* value);
    // Audio thread. Never blocks or allocates.
    void applyToEngine(float plain) override;

    const std::vector<SmoothedValue*>& bindings() const { return bound_; }

private:
    std::vector<SmoothedValue*> bound_;
};
