#pragma once

#include "core/Property.h"
#include "wave/Producer.h"

// A critically damped two-pole low-pass that smooths a signal; with rectification on it is an
// envelope detector whose output rises to the signal's mean level without overshoot.
class SignalSmoother : public wave::Filter, public PropertyOwner {
public:
    enum Mode : int { Plain = 0, Rectify = 1 };

    explicit SignalSmoother(wave::Environment& environment);

    Property<float> frequency;  // corner frequency in Hz; default 5
    Property<int> mode;         // Rectify uses the absolute value of the input; default Plain

    // Audio thread, or between processing calls. Clears the states and follows the sample rate.
    void reset() override;
    // Audio thread. Never blocks or allocates.
    void filter(const float* input, SampleBuffer& output, int count, int flags) override;
    void propertyChanged(AbstractProperty* property) override;

    float coefficient() const { return f_; }

private:
    void updateCoefficient();

    float bandPass_ = 0.0f;
    float lowPass_ = 0.0f;
    float f_ = 0.0f;
};
