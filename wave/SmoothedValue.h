#pragma once

#include "core/Property.h"
#include "wave/Environment.h"
#include "wave/SampleBuffer.h"

// A value that follows its target by a linear ramp. The ramp advances with the environment's running
// position; a reset of the environment finishes it at its next use. The ramp time is given by the
// caller or chosen from the jump's size relative to the span: 150 ms for tiny changes down to 20 ms
// for changes of 30 % of the span or more. Audio thread.
class SmoothedValue {
public:
    SmoothedValue(wave::Environment& environment, float value);
    SmoothedValue(const SmoothedValue&) = delete;
    SmoothedValue& operator=(const SmoothedValue&) = delete;

    Property<float> period;        // 0: not cyclic; otherwise ramps take the shorter way round
    Property<float> slowRampTime;  // ms, automatic time for tiny changes
    Property<float> fastRampTime;  // ms, automatic time for changes of 30 % of the span or more

    // Retargets the ramp; a negative time asks for the automatic time.
    void rampTo(float value, float timeMs = -1.0f);
    // Moves to the value at once.
    void jumpTo(float value);
    // A span of 0 or less means maximum - minimum. A target outside the new range is clamped and
    // reached at once.
    void setRange(float minimum, float maximum, float span = 0.0f);

    // Brings the ramp up to the environment's running position.
    void advance();
    // Moves the ramp on by count samples beyond the running position without rendering (the
    // caller did not need this block).
    void skip(int count);
    // Renders count samples from the current ramp position; constant tells whether they are all
    // equal. Call advance first.
    const float* render(int count, bool& constant);

    // A value that does not follow resets only completes its ramp through jumpTo.
    void setFollowsResets(bool follows) { followsResets_ = follows; }

    float target() const { return target_; }
    float current() const;  // value at the current ramp position
    bool isRamping() const { return rampLength_ > 0 && rampPosition_ < rampLength_; }
    int rampLength() const { return rampLength_; }
    float minimum() const { return minimum_; }
    float maximum() const { return maximum_; }
    float span() const { return span_; }
    SampleBuffer& renderBuffer() { return buffer_; }

private:
    wave::Environment& environment_;
    SampleBuffer buffer_;
    int rampPosition_ = 0;
    int rampLength_ = 0;
    float rampStart_ = 0.0f;
    float rampStep_ = 0.0f;
    float maximum_;
    float minimum_;
    float span_;
    int lastUpdate_;
    int filled_ = 0;
    float target_;
    bool followsResets_ = true;
};
