#pragma once

#include "core/Property.h"
#include "wave/Producer.h"

// The input-presence gate: turns a non-negative level signal into a factor between 0 and 1 that
// is 1 while the smoothed level is at or above the threshold and falls in proportion below it. The
// engine multiplies the filters' peak by it, so that they stop self-oscillating in silence.
class FilterAnalyzer : public wave::Filter, public PropertyOwner {
public:
    explicit FilterAnalyzer(wave::Environment& environment);

    Property<float> timeConstant;  // ms
    Property<float> threshold;

    void propertyChanged(AbstractProperty* property) override;
    void filter(const float* input, SampleBuffer& output, int count, int flags) override;
    void reset() override { level_ = 0.0f; }

    float level() const { return level_; }

private:
    float inverseThreshold_ = 200.0f;
    float level_ = 0.0f;
};
