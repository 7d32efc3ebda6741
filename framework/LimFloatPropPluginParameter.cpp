#include "framework/LimFloatPropPluginParameter.h"

void LimFloatPropPluginParameter::applyToEngine(float plain) {
    float value = engineValue(plain);
    // The limited property clamps to its limits and notifies its owner only on a change.
    for (LimitedProperty<float>* property : bound_) property->set(value);
}
