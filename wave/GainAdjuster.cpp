#include "wave/GainAdjuster.h"

#include <algorithm>

namespace {
constexpr float kMinimumFactor = 0.1f;  // -20 dB
}

GainAdjuster::GainAdjuster(wave::Environment& environment)
    : wave::Filter(environment), gain_(environment, 1.0f) {
    gain_.setRange(-1.0f, 1.0f);
}

void GainAdjuster::filter(const float* input, SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) return;
    setOutputFlags(0);
    float* out = output.samples();
    if (!input) {
        publishSilence();
        return;
    }
    if (!level_ || !reference_) {
        std::copy(input, input + count, out);
        return;
    }
    const float* level = level_->pull(count, flags);
    const float* reference = reference_->pull(count, flags);
    gain_.advance();
    if (input_ && input_->isSilent()) {  // the envelopes above keep following; the output is silent
        publishSilence();
        return;
    }
    bool constant = false;
    const float* gain = gain_.render(count, constant);
    for (int i = 0; i < count; ++i) {
        float l = level[i];
        float ratio = reference[i] / l;
        ratio = ratio < 1.0f ? ratio : 1.0f;  // also turns NaN into 1
        ratio = ratio > kMinimumFactor ? ratio : kMinimumFactor;
        float factor = l > 0.0f ? ratio : 1.0f;
        out[i] = gain[i] * input[i] * factor;
    }
}
