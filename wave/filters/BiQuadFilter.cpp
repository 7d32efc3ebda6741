#include "wave/filters/BiQuadFilter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/FloatEpsilon.h"

namespace {
constexpr float kDenormalOffset = 1e-24f;
// The same bound the resonant filters keep on their states: a resonance inside a feedback loop
// rings up to it and no further, and NaN never enters the states.
constexpr float kOutputLimit = 10.0f;
constexpr int kUpdateInterval = 32;
constexpr float kFrequencyStep = 0.1f;  // octaves
}  // namespace

int BiQuadFilter::sectionCount() const {
    int s = slope.get();
    return s == 1 ? 1 : s == 2 ? 2 : 4;
}

void BiQuadFilter::reset() {
    for (Section& s : sections_) s.x1 = s.x2 = s.y1 = s.y2 = 0.0f;
}

void BiQuadFilter::computeCoefficients(Section& s, float frequency, float peak) const {
    const double fs = environment_->sampleRate();
    double fc = std::exp2(frequency);
    fc = std::clamp(fc, 1.0, 0.49 * fs);
    const double pi = std::numbers::pi;
    if (response.get() == GenericFilter::BandPass) {
        double bandwidth = fc * (1.0 - peak / 2.0);
        double c = 1.0 / std::tan(std::min(pi * bandwidth / fs, 1.0));
        double b0 = 1.0 / (1.0 + c);
        s.b0 = static_cast<float>(b0);
        s.b1 = 0.0f;
        s.b2 = static_cast<float>(-b0);
        s.a1 = static_cast<float>(-2.0 * std::cos(2.0 * pi * fc / fs) * c * b0);
        s.a2 = static_cast<float>((c - 1.0) * b0);
        return;
    }
    const double d = std::numbers::sqrt2 - (std::numbers::sqrt2 - 0.02) * peak;
    const double k = std::tan(pi * fc / fs);
    const bool lowPass = response.get() != GenericFilter::HighPass;
    const double c = lowPass ? 1.0 / k : k;
    const double a0 = 1.0 + d * c + c * c;
    s.b0 = static_cast<float>(1.0 / a0);
    s.b2 = s.b0;
    s.a2 = static_cast<float>((1.0 - d * c + c * c) / a0);
    if (lowPass) {
        s.b1 = static_cast<float>(2.0 / a0);
        s.a1 = static_cast<float>(2.0 * (1.0 - c * c) / a0);
    } else {
        s.b1 = static_cast<float>(-2.0 / a0);
        s.a1 = static_cast<float>(2.0 * (c * c - 1.0) / a0);
    }
}

void BiQuadFilter::processSection(Section& s, const float* input, float* output, const float* frequency,
                                  const float* peak, const float* peakMultiplier, int count) {
    float x1 = s.x1, x2 = s.x2, y1 = s.y1, y2 = s.y2;
    for (int i = 0; i < count; ++i) {
        if (i % kUpdateInterval == 0 || std::fabs(frequency[i] - s.frequency) > kFrequencyStep) {
            float p = peakMultiplier ? peak[i] * peakMultiplier[i] : peak[i];
            if (std::fabs(frequency[i] - s.frequency) > kFloatEpsilon || std::fabs(p - s.peak) > kFloatEpsilon) {
                computeCoefficients(s, frequency[i], p);
                s.frequency = frequency[i];
                s.peak = p;
            }
        }
        float x = input[i];
        float y = s.b0 * x + s.b1 * x1 + s.b2 * x2 - s.a1 * y1 - s.a2 * y2;
        y = (y + kDenormalOffset) - kDenormalOffset;
        // Below the offset the rounding above could sustain a tiny limit cycle; end it in silence.
        if (std::fabs(y) < kDenormalOffset) y = 0.0f;
        y = std::fmin(std::fmax(y, -kOutputLimit), kOutputLimit);
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        output[i] = y;
    }
    s.x1 = x1;
    s.x2 = x2;
    s.y1 = y1;
    s.y2 = y2;
}

bool BiQuadFilter::atRest() const {
    // Silent sections stay silent: every state decays to exact zeros (see processSection).
    for (int i = 0; i < sectionCount(); ++i) {
        const Section& s = sections_[i];
        if (s.x1 != 0.0f || s.x2 != 0.0f || s.y1 != 0.0f || s.y2 != 0.0f) return false;
    }
    return true;
}

void BiQuadFilter::process(const float* input, float* output, const float* frequency, const float* peak,
                           const float* peakMultiplier, int count, bool) {
    int sections = sectionCount();
    for (int i = 0; i < sections; ++i)
        processSection(sections_[i], i == 0 ? input : output, output, frequency, peak, peakMultiplier, count);
}
