#include "wave/VolumeFilter.h"

#include <cmath>
#include <cstring>

#include "core/FloatEpsilon.h"

VolumeFilter::VolumeFilter(wave::Environment& environment)
    : wave::Filter(environment), gainSource_(environment, 1.0f, false), gain_(&gainSource_) {
    gainSource_.setRange(0.0f, 1.0f);
}

void VolumeFilter::produce(SampleBuffer& output, int count, int flags) {
    if (muteController_ && muteController_->isMuted(output, count, flags)) {
        wave::Filter::produce(output, count, flags | wave::OutputNotNeeded);
        std::memset(output.samples(), 0, sizeof(float) * count);
        setOutputFlags(wave::ConstantBlock);
        return;
    }
    if (!(flags & wave::OutputNotNeeded)) {
        // Check the gain before the input is pulled: silence costs nothing upstream.
        const float* gain = gain_->pull(count, 0);
        if (gain_->isConstant() && std::fabs(gain[0]) <= kFloatEpsilon) {
            publishSilence();
            markCurrent();
            return;
        }
    }
    wave::Filter::produce(output, count, flags);
}

void VolumeFilter::filter(const float* input, SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) return;
    setOutputFlags(0);
    float* out = output.samples();
    if (!input) {
        std::memset(out, 0, sizeof(float) * count);
        setOutputFlags(wave::ConstantBlock);
        return;
    }
    if (input_ && input_->isSilent()) {
        publishSilence();
        return;
    }
    const float* gain = gain_->pull(count, 0);
    const float* modulation = wave::Producer::pull(modulation_, count, flags);
    if (input_ && !modulation && gain_->isConstant() && gain[0] == 1.0f) {  // unity: the input block stands
        setCurrentOutput(input_->currentOutput());
        setOutputFlags(input_->outputFlags());
        return;
    }
    if (modulation) {
        for (int i = 0; i < count; ++i) out[i] = input[i] * gain[i] * modulation[i];
    } else {
        for (int i = 0; i < count; ++i) out[i] = input[i] * gain[i];
    }
}
