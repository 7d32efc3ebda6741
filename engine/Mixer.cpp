#include "engine/Mixer.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"
#include "wave/WeightedSum.h"

Mixer::Mixer(wave::Environment& environment, int inputs)
    : wave::Source(environment), inputCount(this, inputs, 0, inputs), combineType(this, Sum), inputs_(inputs) {
    for (Input& in : inputs_) {
        in.ownGain = std::make_unique<FloatParameterSource>(environment, 1.0f, false);
        in.gain = in.ownGain.get();
    }
}

Mixer::~Mixer() = default;

void Mixer::setInput(int i, wave::Producer* input) { inputs_[i].input = input; }

void Mixer::setGain(int i, wave::Producer* gain) { inputs_[i].gain = gain ? gain : inputs_[i].ownGain.get(); }

void Mixer::produce(SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) return;
    setOutputFlags(0);
    int type = combineType.get();
    if (type == Subtract || type == Peak || type == Ratio || type == FlooredRatio || type == Maximum || type == Minimum)
        produceCombined(output, count);
    else
        produceSum(output, count);
}

void Mixer::produceSum(SampleBuffer& output, int count) {
    wave::WeightedSum sum(output, count);
    for (int i = 0; i < inputCount.get(); ++i) {
        Input& in = inputs_[i];
        if (!in.input) continue;
        const float* g = in.gain->pull(count, 0);
        bool constantGain = in.gain->isConstant();
        if (constantGain && std::fabs(g[0]) <= kFloatEpsilon) continue;  // silent: the input is not even pulled
        sum.add(*in.input, in.input->pull(count, 0), g, constantGain);
    }
    sum.publish(*this);
}

void Mixer::produceCombined(SampleBuffer& output, int count) {
    float* out = output.samples();
    int type = combineType.get();
    bool first = true;
    for (int i = 0; i < inputCount.get(); ++i) {
        Input& in = inputs_[i];
        if (!in.input) continue;
        const float* g = in.gain->pull(count, 0);
        const float* x = in.input->pull(count, 0);
        if (first) {
            if (type == Peak || type == Ratio || type == FlooredRatio)
                for (int k = 0; k < count; ++k) out[k] = std::fabs(x[k]) * g[k];
            else
                for (int k = 0; k < count; ++k) out[k] = x[k] * g[k];
            first = false;
            continue;
        }
        // One loop per combination, so that no sample loop branches on the type.
        switch (type) {
            case Subtract:
                for (int k = 0; k < count; ++k) out[k] -= g[k] * x[k];
                break;
            case Peak:
                for (int k = 0; k < count; ++k) out[k] = std::max(out[k], std::fabs(x[k]) * g[k]);
                break;
            case Ratio:
                for (int k = 0; k < count; ++k) {
                    float d = std::fabs(g[k] * x[k]);
                    out[k] = d == 0.0f ? 0.0f : std::clamp(out[k] / d, 0.0f, 1.0f);
                }
                break;
            case FlooredRatio:
                for (int k = 0; k < count; ++k)
                    out[k] = std::max(out[k], 1e-9f) / std::max(std::fabs(g[k] * x[k]), 1e-9f);
                break;
            case Maximum:
                for (int k = 0; k < count; ++k) out[k] = std::max(out[k], g[k] * x[k]);
                break;
            case Minimum:
                for (int k = 0; k < count; ++k) out[k] = std::min(out[k], g[k] * x[k]);
                break;
        }
    }
    if (first) {
        setCurrentOutput(&environment().zeroBuffer());
        setOutputFlags(wave::ConstantBlock);
    }
}
