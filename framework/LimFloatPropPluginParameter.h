#pragma once

#include "core/Property.h"
#include "framework/FloatPluginParameter.h"
#include "framework/GenericPropPluginParameter.h"

// Continuous parameter that drives limited float properties with its engine value, each clamped to
// the property's own limits.
class LimFloatPropPluginParameter
    : public GenericPropPluginParameter<LimitedProperty<float>, FloatPluginParameter> {
public:
    using GenericPropPluginParameter::GenericPropPluginParameter;

    // Audio thread. Never blocks or allocates; owners hear of properties that changed.
    void applyToEngine(float plain) override;
};
