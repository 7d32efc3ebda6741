#pragma once

#include <memory>
#include <vector>

#include "core/Property.h"
#include "wave/FloatParameterSource.h"
#include "wave/Producer.h"

// Combines several inputs, each scaled by its own gain signal (by default an own ramped gain of 1;
// the engine points most gains at modulation targets or other producers). Combine types, with g an
// input's gain and x its signal:
//   0 sum of g·x; inputs with a constant gain of (almost) 0 are not pulled, a single input with a
//     constant gain of 1 is passed through by pointer, no input gives the zero buffer;
//   1 subtract, 2 peak (max of |x|·g), 4 ratio (clamped to 0..1), 5 ratio with floors, 7 maximum,
//   8 minimum: the first input initialises the output (types 2, 4 and 5 with |x|·g) and each further
//   input combines with it per sample. Types 3 and 6 are not used by the engine and sum.
class Mixer : public wave::Source, public PropertyOwner {
public:
    enum CombineType { Sum = 0, Subtract = 1, Peak = 2, Ratio = 4, FlooredRatio = 5, Maximum = 7, Minimum = 8 };

    // Construction allocates every input the mixer will ever have.
    Mixer(wave::Environment& environment, int inputs);
    ~Mixer() override;

    // Set-up: an input's signal and its gain (null gain: the own default gain).
    void setInput(int i, wave::Producer* input);
    void setGain(int i, wave::Producer* gain);
    wave::Producer* input(int i) const { return inputs_[i].input; }
    FloatParameterSource& ownGain(int i) { return *inputs_[i].ownGain; }

    LimitedProperty<int> inputCount;  // how many of the inputs take part
    Property<int> combineType;

    void produce(SampleBuffer& output, int count, int flags) override;
    void propertyChanged(AbstractProperty*) override {}

private:
    struct Input {
        wave::Producer* input = nullptr;
        wave::Producer* gain = nullptr;
        std::unique_ptr<FloatParameterSource> ownGain;
    };
    void produceSum(SampleBuffer& output, int count);
    void produceCombined(SampleBuffer& output, int count);

    std::vector<Input> inputs_;
};
