#pragma once

#include <vector>

#include "wave/Producer.h"

// Sums inputs with fixed gains. A single input with gain 1 is passed through by pointer; the output
// is flagged constant when every input's is.
class StaticMixer : public wave::Source {
public:
    StaticMixer(wave::Environment& environment, int inputs) : wave::Source(environment), inputs_(inputs) {}

    // Set-up.
    void setInput(int i, wave::Producer* input, float gain) { inputs_[i] = {gain, input}; }

    void produce(SampleBuffer& output, int count, int flags) override;

private:
    struct Input {
        float gain = 1.0f;
        wave::Producer* input = nullptr;
    };
    std::vector<Input> inputs_;
};
