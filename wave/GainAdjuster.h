#pragma once

#include "wave/Producer.h"
#include "wave/SmoothedValue.h"

// Multiplies a signal by a ramped gain and by a limiting factor taken from two envelopes: when the
// level envelope rises above the reference envelope the signal is pulled down by reference / level,
// never by more than 20 dB and never amplified. The engine uses it to tame a filter section that
// rings much louder than the delay signal feeding it. Without both envelopes connected the input
// passes unchanged.
class GainAdjuster : public wave::Filter {
public:
    explicit GainAdjuster(wave::Environment& environment);

    // The ramped gain, range -1 to 1, initially 1; retarget it with rampTo. Audio thread.
    SmoothedValue& gain() { return gain_; }
    void setLevelSource(wave::Producer* level) { level_ = level; }
    void setReferenceSource(wave::Producer* reference) { reference_ = reference; }
    wave::Producer* levelSource() const { return level_; }
    wave::Producer* referenceSource() const { return reference_; }

    // Audio thread. Never blocks or allocates.
    void filter(const float* input, SampleBuffer& output, int count, int flags) override;

private:
    SmoothedValue gain_;
    wave::Producer* level_ = nullptr;
    wave::Producer* reference_ = nullptr;
};
