#pragma once

#include "wave/FloatParameterSource.h"
#include "wave/Producer.h"

// Multiplies its input by a gain signal and, when connected, a second modulation factor. A gain that
// is constant and (almost) zero publishes the zero buffer without pulling the input; a mute
// controller that answers true silences the output without computing the input chain.
class VolumeFilter : public wave::Filter {
public:
    explicit VolumeFilter(wave::Environment& environment);

    // The embedded gain source, range 0 to 1, initially 1; used unless another gain is connected.
    FloatParameterSource& gainSource() { return gainSource_; }
    void setGain(wave::Producer* gain) { gain_ = gain ? gain : &gainSource_; }
    wave::Producer* gain() const { return gain_; }
    void setModulation(wave::Producer* modulation) { modulation_ = modulation; }
    void setMuteController(wave::MuteController* controller) { muteController_ = controller; }

    void produce(SampleBuffer& output, int count, int flags) override;
    void filter(const float* input, SampleBuffer& output, int count, int flags) override;

private:
    FloatParameterSource gainSource_;
    wave::Producer* gain_;
    wave::Producer* modulation_ = nullptr;
    wave::MuteController* muteController_ = nullptr;
};
