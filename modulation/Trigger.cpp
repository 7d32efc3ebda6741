#include "modulation/Trigger.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"

namespace {
constexpr size_t kReservedEvents = 1024;
}  // namespace

Trigger::Trigger(wave::Environment& environment)
    : holdTime(this, 15.0f), enabled(this, 1), threshold(this, 0.9f, 0.0f, 1.0f), environment_(environment) {
    // A block holds at most one event per sample, so the list never grows while processing.
    events_.reserve(std::max(kReservedEvents, static_cast<size_t>(environment.maxBlockLength())));
    updateHoldCount();
}

void Trigger::updateHoldCount() {
    holdRate_ = environment_.sampleRate();
    double samples = static_cast<double>(holdRate_) * holdTime.get() / 1000.0;
    holdCount_ = samples >= 1.0 ? static_cast<int>(std::min(samples, 1e9)) : 1;
}

void Trigger::propertyChanged(AbstractProperty* property) {
    if (property == &holdTime) updateHoldCount();
}

void Trigger::run(int count) {
    if (cycleStamp_ == environment_.cycleStamp()) return;
    cycleStamp_ = environment_.cycleStamp();
    const float* level = wave::Producer::pull(levelInput_, count, 0);
    events_.clear();
    if (!level || !isEnabled()) return;
    if (holdRate_ != environment_.sampleRate()) updateHoldCount();

    const float on = threshold.get() + kFloatEpsilon;
    const float off = threshold.get() * 0.5f + kFloatEpsilon;
    for (int i = 0; i < count; ++i) {
        float r = level[i];
        if (state_) {
            if (r < off) {
                if (++belowCounter_ > holdCount_) {
                    state_ = 0;
                    belowCounter_ = 0;
                    events_.push_back({0, i});
                }
            } else {
                belowCounter_ = 0;
            }
        } else if (r > on) {
            state_ = 1;
            belowCounter_ = 0;
            events_.push_back({1, i});
        }
    }
}
