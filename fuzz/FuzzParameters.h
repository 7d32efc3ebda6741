#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/FloatPluginParameter.h"
#include "framework/GenericParameterOwner.h"

// A small parameter owner for the harnesses: n continuous parameters (range -1000 to 1000),
// built once and reused by every input.
class FuzzParameters : public GenericParameterOwner {
public:
    explicit FuzzParameters(int count) {
        for (int i = 0; i < count; ++i) {
            owned_.push_back(std::make_unique<FloatPluginParameter>(this, "P" + std::to_string(i)));
            owned_.back()->setRange(-1000.0f, 1000.0f, float(i));
            owned_.back()->setValue(float(i), 0);
        }
    }
    void beginUpdate() override { ++depth_; }
    void endUpdate() override { --depth_; }
    AbstractPluginParameter* getParameter(int index) override {
        return index >= 0 && index < int(params_.size()) ? params_[std::size_t(index)] : nullptr;
    }
    int groupIndex() override { return 0; }
    int getParameterCount() override { return int(params_.size()); }
    void parameterChanged(int, float, int) override {}
    int addParameter(AbstractPluginParameter* p) override {
        params_.push_back(p);
        return int(params_.size()) - 1;
    }
    int registerGroup(const std::string&) override { return 0; }
    int depth() const { return depth_; }

private:
    std::vector<AbstractPluginParameter*> params_;
    std::vector<std::unique_ptr<FloatPluginParameter>> owned_;
    int depth_ = 0;
};
