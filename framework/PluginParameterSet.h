#pragma once

#include <string>
#include <vector>

#include "framework/AbstractPluginParameter.h"
#include "framework/GenericParameterOwner.h"

// A group of parameters that belong together (one XLFO, one slot, one delay line). The concrete set
// holds its parameters as members, constructed with the set as their owner; they take consecutive
// global indices in member order. Names are the set name followed by a suffix starting with a space
// ("XLFO 2" + " Frequency"). Everything forwards to the owner: the plug-in, or the set that owns the
// list this set belongs to.
class PluginParameterSet : public GenericParameterOwner {
public:
    PluginParameterSet(GenericParameterOwner* owner, std::string name);
    PluginParameterSet(const PluginParameterSet&) = delete;
    PluginParameterSet& operator=(const PluginParameterSet&) = delete;

    // Any thread.
    void beginUpdate() override { owner_->beginUpdate(); }
    // Any thread.
    void endUpdate() override { owner_->endUpdate(); }
    // The set's parameter number i.
    AbstractPluginParameter* getParameter(int i) override;
    int groupIndex() override { return group_; }
    int getParameterCount() override { return static_cast<int>(parameters_.size()); }
    // Any thread. The index is global and passes on unchanged.
    void parameterChanged(int index, float value, int flags) override {
        owner_->parameterChanged(index, value, flags);
    }
    // Construction. Appends to the set's list and answers the global index.
    int addParameter(AbstractPluginParameter* parameter) override;
    int registerGroup(const std::string& name) override { return owner_->registerGroup(name); }
    ~PluginParameterSet() override = default;
    // Sets ranges, tapers, units, item names and help texts; nothing in the base.
    virtual void configure() {}

    // UI thread. Every parameter takes the value of the other set's parameter at its position.
    void copyValuesFrom(const PluginParameterSet& other);
    // UI thread.
    void resetToDefaults();
    void appendParametersTo(std::vector<AbstractPluginParameter*>& collection) const;

    const std::string& name() const { return name_; }
    // The name for a parameter of this set: the set name followed by the suffix.
    std::string parameterName(const std::string& suffix) const { return name_ + suffix; }
    GenericParameterOwner* owner() const { return owner_; }
    const std::vector<AbstractPluginParameter*>& parameters() const { return parameters_; }

private:
    int group_;
    std::vector<AbstractPluginParameter*> parameters_;
    GenericParameterOwner* owner_;
    std::string name_;
};
