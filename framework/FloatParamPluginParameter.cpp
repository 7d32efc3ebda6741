#include "framework/FloatParamPluginParameter.h"

#include "wave/SmoothedValue.h"

int FloatParamPluginParameter::bind(SmoothedValue* value) {
    bound_.push_back(value);
    return static_cast<int>(bound_.size()) - 1;
}

void FloatParamPluginParameter::applyToEngine(float plain) {
    float target = engineValue(plain);
    for (SmoothedValue* value : bound_) value->rampTo(target);
}
