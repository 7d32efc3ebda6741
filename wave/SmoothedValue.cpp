#include "wave/SmoothedValue.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"

namespace {
constexpr float kFastShare = 0.3f;  // jumps of this share of the span or more take the fast time
}  // namespace

SmoothedValue::SmoothedValue(wave::Environment& environment, float value)
    : period(nullptr, 0.0f),
      slowRampTime(nullptr, 150.0f),
      fastRampTime(nullptr, 20.0f),
      environment_(environment),
      buffer_(environment.maxBlockLength()),
      maximum_(std::max(1.0f, value)),
      minimum_(std::min(0.0f, value)),
      span_(maximum_ - minimum_),
      lastUpdate_(environment.runningPosition()),
      target_(value) {}

void SmoothedValue::advance() {
    int now = environment_.runningPosition();
    if (followsResets_ && environment_.resetPosition() >= lastUpdate_) {
        rampLength_ = 0;  // a reset happened since the last update: stand at the target
    } else if (rampLength_ > 0) {
        rampPosition_ += now - lastUpdate_;
        if (rampPosition_ >= rampLength_) rampLength_ = 0;
    }
    lastUpdate_ = now;
}

void SmoothedValue::skip(int count) {
    advance();
    if (rampLength_ > 0) {
        rampPosition_ += count;
        if (rampPosition_ >= rampLength_) rampLength_ = 0;
    }
    lastUpdate_ += count;
}

float SmoothedValue::current() const {
    if (!isRamping()) return target_;
    return static_cast<float>(rampStart_ + static_cast<double>(rampPosition_) * rampStep_);
}

void SmoothedValue::rampTo(float value, float timeMs) {
    advance();
    float v = std::clamp(value, minimum_, maximum_);
    if (std::fabs(v - target_) <= kFloatEpsilon) return;

    float c = current();
    float start = c;
    float p = period.get();
    if (p > 0.0f) {
        // The shorter way round the circle: start from v minus the signed shortest distance.
        double whole;
        double d = std::modf(std::modf(v / p, &whole) - std::modf(c / p, &whole), &whole);
        if (d > 0.5)
            d -= 1.0;
        else if (d < -0.5)
            d += 1.0;
        start = std::clamp(static_cast<float>(v - d * p), minimum_, maximum_);
    }

    float time = timeMs;
    if (time < 0.0f) {
        float r = span_ > 0.0f ? std::fabs(v - c) / span_ : 1.0f;
        float fast = fastRampTime.get();
        float slow = slowRampTime.get();
        if (r >= kFastShare) {
            time = fast;
        } else {
            float x = (kFastShare - r) / kFastShare;
            time = fast + (slow - fast) * x * x;
        }
    }

    int length = static_cast<int>(environment_.sampleRate() * time * 0.001f);
    target_ = v;
    filled_ = 0;
    if (length < 1) {
        rampLength_ = 0;
        return;
    }
    rampStart_ = start;
    rampStep_ = (v - start) / static_cast<float>(length);
    rampPosition_ = 0;
    rampLength_ = length;
}

void SmoothedValue::jumpTo(float value) {
    advance();
    target_ = std::clamp(value, minimum_, maximum_);
    rampLength_ = 0;
    filled_ = 0;
}

void SmoothedValue::setRange(float minimum, float maximum, float span) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    span_ = span > 0.0f ? span : maximum_ - minimum_;
    if (target_ < minimum_ || target_ > maximum_) jumpTo(target_);
}

const float* SmoothedValue::render(int count, bool& constant) {
    float* out = buffer_.samples();
    if (!isRamping()) {
        if (filled_ < count) {
            std::fill(out + filled_, out + count, target_);
            filled_ = count;
        }
        constant = true;
        return out;
    }
    int rampEnd = std::min(count, rampLength_ - rampPosition_);
    double step = rampStep_;
    double value = rampStart_ + static_cast<double>(rampPosition_) * step;
    for (int i = 0; i < rampEnd; ++i) {
        out[i] = static_cast<float>(value);
        value += step;
    }
    std::fill(out + rampEnd, out + count, target_);
    filled_ = 0;
    constant = false;
    return out;
}
