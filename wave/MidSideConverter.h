#pragma once

#include "core/Property.h"
#include "wave/MultiProducer.h"

// Converts a stereo pair between left/right and mid/side, or passes it through. Encoding halves and
// decoding does not, so an encode followed by a decode gives back the pair.
class MidSideConverter : public wave::MultiProducer {
public:
    enum Mode : int { PassThrough = 0, Encode = 1, Decode = 2 };

    explicit MidSideConverter(wave::Environment& environment) : wave::MultiProducer(environment) {}

    Property<int> mode{nullptr, PassThrough};  // any other value passes through

    void setFirstInput(wave::Producer* input) { first_ = input; }
    void setSecondInput(wave::Producer* input) { second_ = input; }
    wave::Producer* firstInput() const { return first_; }
    wave::Producer* secondInput() const { return second_; }

    // Audio thread. Never blocks or allocates. Pass-through publishes the inputs' buffers as the
    // outputs without copying.
    void produceOutputs(std::array<SampleBuffer*, kOutputCount>& buffers, int count, int flags) override;

private:
    wave::Producer* first_ = nullptr;
    wave::Producer* second_ = nullptr;
};
