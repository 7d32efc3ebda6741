#pragma once

#include "wave/MultiProducer.h"

// Spreads one delay line over the two channels from its pan signal p (-1..1): output 0 is the gain
// towards channel 0, 1 - max(p, 0); output 1 the gain towards channel 1, 1 + min(p, 0).
class DelayPanController : public wave::MultiProducer {
public:
    DelayPanController(wave::Environment& environment, wave::Producer* pan)
        : wave::MultiProducer(environment), pan_(pan) {}

    void setPan(wave::Producer* pan) { pan_ = pan; }
    void produceOutputs(std::array<SampleBuffer*, kOutputCount>& buffers, int count, int flags) override;

private:
    wave::Producer* pan_;
    int filled_ = 0;  // samples of the own buffers that hold the gains of filledPan_
    float filledPan_ = 0.0f;
};
