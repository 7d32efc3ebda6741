#pragma once

#include "core/Property.h"
#include "framework/GenericPropPluginParameter.h"
#include "framework/IndexedPluginParameter.h"

// Indexed parameter that drives properties of type T with its raw value.
template <typename T>
class PropPluginParameter : public GenericPropPluginParameter<Property<T>, IndexedPluginParameter<T>> {
public:
    using Base = GenericPropPluginParameter<Property<T>, IndexedPluginParameter<T>>;
    using Base::Base;

    // Audio thread. Never blocks or allocates; owners hear of properties that changed.
    void applyToEngine(float plain) override {
        T value = IndexedPluginParameter<T>::toValue(this->rawOfIndex(this->toIndex(plain)));
        for (Property<T>* property : this->bound_) property->set(value);
    }
};
