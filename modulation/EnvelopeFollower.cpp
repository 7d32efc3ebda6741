#include "modulation/EnvelopeFollower.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"

namespace {
constexpr float kFloorDb = -180.0f;
constexpr float kRangeDb = 60.0f;  // the followed range: -60 dBFS .. 0 dBFS maps to 0 .. 1

// The one-pole coefficient that covers 90 % of a step in `product` samples: 1 - 10^(-1 / product).
float coefficientFor(float product) {
    return static_cast<float>(1.0 - std::pow(10.0, -1.0 / product));
}
}  // namespace

EnvelopeFollower::EnvelopeFollower(wave::Environment& environment)
    : wave::Filter(environment),
      defaultAttack_(environment, kMinimumTime),
      defaultRelease_(environment, 0.1f),
      attackInput_(&defaultAttack_),
      releaseInput_(&defaultRelease_) {
    defaultAttack_.setRange(kMinimumTime, kMaximumTime);
    defaultRelease_.setRange(kMinimumTime, kMaximumTime);
    setInputFlagMask(wave::ClosingPass);
    addToClosingPass(AfterFront);
}

float EnvelopeFollower::levelAbove(float x) {
    float db = kFloorDb;
    if (x > 1e-10f) db = std::max(20.0f * std::log10(x), kFloorDb);
    return std::max(db + kRangeDb, 0.0f);
}

void EnvelopeFollower::produce(SampleBuffer& output, int count, int flags) {
    if (flags & wave::OutputNotNeeded) {
        idle_ = true;
        return;
    }
    const float* in = Producer::pull(input_, count, flags & inputFlagMask());
    if (idle_) {
        state_ = levelAbove(in ? in[0] : 0.0f);
        idle_ = false;
    }
    filter(in, output, count, flags);
}

void EnvelopeFollower::filter(const float* input, SampleBuffer& output, int count, int /*flags*/) {
    const float* attack = attackInput_->pull(count, 0);
    const float* release = releaseInput_->pull(count, 0);
    const float rate = environment().sampleRate();
    float* out = output.samples();
    float state = state_;
    for (int i = 0; i < count; ++i) {
        float delta = levelAbove(input ? input[i] : 0.0f) - state;
        float c;
        if (delta > 0.0f) {
            float product = rate * std::max(kMinimumTime, attack[i]);
            if (std::fabs(product - attackProduct_) > kFloatEpsilon) {
                attackProduct_ = product;
                attackCoefficient_ = coefficientFor(product);
            }
            c = attackCoefficient_;
        } else {
            float product = rate * std::max(kMinimumTime, release[i]);
            if (std::fabs(product - releaseProduct_) > kFloatEpsilon) {
                releaseProduct_ = product;
                releaseCoefficient_ = coefficientFor(product);
            }
            c = releaseCoefficient_;
        }
        // Adding and removing 1e-16 in double precision flushes tiny values to zero.
        state = static_cast<float>((static_cast<double>(state) + c * delta + 1e-16) - 1e-16);
        out[i] = state / kRangeDb;
    }
    state_ = state;
    setOutputFlags(0);
}
