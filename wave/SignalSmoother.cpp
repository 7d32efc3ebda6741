#include "wave/SignalSmoother.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr float kRestLevel = 1e-15f;  // -300 dB
}

SignalSmoother::SignalSmoother(wave::Environment& environment)
    : wave::Filter(environment), frequency(this, 5.0f), mode(this, Plain) {
    updateCoefficient();
}

void SignalSmoother::propertyChanged(AbstractProperty*) {
    updateCoefficient();
}

void SignalSmoother::updateCoefficient() {
    float fc = frequency.get();
    if (!(fc > 0.0f)) {  // no corner: the smoother holds its output
        f_ = 0.0f;
        return;
    }
    float ratio = std::exp2(std::log2(fc) - std::log2(environment().sampleRate()));
    // Capped at half the rate, where the coefficient is at its limit, so that it never falls again.
    ratio = std::min(ratio, 0.5f);
    f_ = std::min(2.0f * std::sin(std::numbers::pi_v<float> * ratio), 0.95f);
}

void SignalSmoother::reset() {
    bandPass_ = 0.0f;
    lowPass_ = 0.0f;
    // Resets follow every sample-rate change, and the corner is relative to the rate.
    updateCoefficient();
}

void SignalSmoother::filter(const float* input, SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) return;
    setOutputFlags(0);
    float* out = output.samples();
    if (!input || (input_ && input_->isSilent())) {
        // Silent input at rest: one step that leaves the states as they are means every sample of
        // the block is the same (zero once the states have decayed).
        float lp = lowPass_ + f_ * bandPass_;
        float bp = bandPass_ + f_ * (0.0f - 2.0f * bandPass_ - lp);
        if (std::fabs(lp) < kRestLevel && std::fabs(bp) < kRestLevel) {
            // Decayed beyond any use as a level; an exponential decay would take seconds more to
            // reach the denormal range.
            lowPass_ = bandPass_ = lp = bp = 0.0f;
        }
        if (lp == lowPass_ && bp == bandPass_) {
            if (lp == 0.0f) {
                publishSilence();
            } else {
                std::fill(out, out + count, lp);
                setOutputFlags(wave::ConstantBlock);
            }
            return;
        }
    }
    if (!input) {
        std::fill(out, out + count, 0.0f);
    } else if (mode.get() == Rectify) {
        for (int i = 0; i < count; ++i) out[i] = std::fabs(input[i]);
    } else {
        std::copy(input, input + count, out);
    }
    float lp = lowPass_;
    float bp = bandPass_;
    const float f = f_;
    for (int i = 0; i < count; ++i) {
        float x = out[i];
        lp += f * bp;
        out[i] = lp;
        bp += f * (x - 2.0f * bp - lp);
    }
    lowPass_ = lp;
    bandPass_ = bp;
}
