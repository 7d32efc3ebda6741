#pragma once

#include <vector>

#include "framework/IndexedPluginParameter.h"
#include "wave/SmoothedValue.h"

// Indexed parameter that drives smoothed values through a table of factors: index i sends
// factor[i] (or i itself without a table). The feedback-invert switch uses the table 1, -1.
template <typename T>
class ToggleFloatPluginParameter : public IndexedPluginParameter<T> {
public:
    using IndexedPluginParameter<T>::IndexedPluginParameter;

    // The table is not owned and must have an entry for every index from 0 to the maximum index.
    void setFactorTable(const float* table) { factors_ = table; }
    // Construction. Answers the position of the new binding.
    int bind(SmoothedValue* value) {
        bound_.push_back(value);
        return static_cast<int>(bound_.size()) - 1;
    }

    // Audio thread. Never blocks or allocates.
    void applyToEngine(float plain) override {
        int index = this->toIndex(plain);
        float target = factors_ ? factors_[index] : float(index);
        for (SmoothedValue* value : bound_) value->rampTo(target);
    }

    const float* factorTable() const { return factors_; }

private:
    const float* factors_ = nullptr;
    std::vector<SmoothedValue*> bound_;
};
