#pragma once

#include "wave/Producer.h"
#include "wave/SmoothedValue.h"

// Renders its own ramped value as a per-sample signal. Without an own buffer it publishes the ramp's
// render buffer directly. The owner sets the range with setRange and the value with rampTo.
class FloatParameterSource : public wave::Source {
public:
    FloatParameterSource(wave::Environment& environment, float value, bool ownBuffer = true);

    SmoothedValue& value() { return value_; }
    void rampTo(float v, float timeMs = -1.0f) { value_.rampTo(v, timeMs); }
    void setRange(float minimum, float maximum, float span = 0.0f) { value_.setRange(minimum, maximum, span); }

    void produce(SampleBuffer& output, int count, int flags) override;

private:
    SmoothedValue value_;
};

// Renders a ramped value that another object owns.
class FloatParameterForwarder : public wave::Source {
public:
    FloatParameterForwarder(wave::Environment& environment, SmoothedValue* value)
        : wave::Source(environment, false), value_(value) {}

    void setValue(SmoothedValue* value) { value_ = value; }
    SmoothedValue* value() const { return value_; }

    void produce(SampleBuffer& output, int count, int flags) override;

private:
    SmoothedValue* value_;
};

namespace wave {
// Shared produce step of the two sources above: advances the ramp, and renders and publishes it
// unless the output is not needed.
void renderSmoothedValue(Producer& producer, SmoothedValue& value, SampleBuffer& output, int count, int flags);
}  // namespace wave
