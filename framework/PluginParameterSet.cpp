#include "framework/PluginParameterSet.h"

#include <algorithm>

PluginParameterSet::PluginParameterSet(GenericParameterOwner* owner, std::string name)
    : owner_(owner), name_(std::move(name)) {
    group_ = owner_->registerGroup(name_);
}

AbstractPluginParameter* PluginParameterSet::getParameter(int i) {
    if (i < 0 || i >= getParameterCount()) return nullptr;
    return parameters_[std::size_t(i)];
}

int PluginParameterSet::addParameter(AbstractPluginParameter* parameter) {
    parameters_.push_back(parameter);
    return owner_->addParameter(parameter);
}

void PluginParameterSet::copyValuesFrom(const PluginParameterSet& other) {
    std::size_t count = std::min(parameters_.size(), other.parameters_.size());
    for (std::size_t i = 0; i < count; ++i) parameters_[i]->setValue(other.parameters_[i]->value(), 0);
}

void PluginParameterSet::resetToDefaults() {
    for (AbstractPluginParameter* parameter : parameters_) parameter->setValue(parameter->defaultValue(), 0);
}

void PluginParameterSet::appendParametersTo(std::vector<AbstractPluginParameter*>& collection) const {
    collection.insert(collection.end(), parameters_.begin(), parameters_.end());
}
