#include "engine/DelayTimeController.h"

#include <algorithm>

#include "core/FloatEpsilon.h"

namespace {
}

DelayTimeController::DelayTimeController(wave::Environment& environment, wave::Producer* timeTarget,
                                         wave::Producer* offsetTarget)
    : wave::Producer(environment),
      syncIndex(this, Free, Free, QuarterNote),
      syncTime_(environment, kMinimumMs, false),
      timeTarget_(timeTarget),
      offsetTarget_(offsetTarget) {
    syncTime_.setRange(kMinimumMs, kMaximumMs);
    syncTime_.value().jumpTo(kMinimumMs);
}

float DelayTimeController::syncTable(int index) {
    static const float table[] = {0.0f, 120000.0f, 60000.0f, 30000.0f, 15000.0f};
    return index >= 0 && index <= QuarterNote ? table[index] : 0.0f;
}

void DelayTimeController::setTargets(wave::Producer* timeTarget, wave::Producer* offsetTarget) {
    timeTarget_ = timeTarget;
    offsetTarget_ = offsetTarget;
}

void DelayTimeController::retarget(double tempo) {
    int index = syncIndex.get();
    if (index == Free || !(tempo > kFloatEpsilon)) return;
    syncTime_.rampTo(static_cast<float>(syncTable(index) / tempo));
}

void DelayTimeController::produce(SampleBuffer& output, int count, int flags) {
    if (syncIndex.get() == Free) {
        if (!timeTarget_) {
            std::fill(output.samples(), output.samples() + count, kMinimumMs);
            setOutputFlags(wave::ConstantBlock);
            return;
        }
        if (flags & wave::OutputNotNeeded) return;
        timeTarget_->pull(count, 0);
        setCurrentOutput(timeTarget_->currentOutput());
        setOutputFlags(timeTarget_->outputFlags());
        return;
    }
    const float* time = syncTime_.pull(count, flags & wave::OutputNotNeeded);
    if (flags & wave::OutputNotNeeded) return;
    const float* factor = wave::Producer::pull(offsetTarget_, count, 0);
    float* out = output.samples();
    for (int i = 0; i < count; ++i) out[i] = std::clamp(time[i] * (factor ? factor[i] : 1.0f), kMinimumMs, kMaximumMs);
    bool constant = syncTime_.isConstant() && (!offsetTarget_ || offsetTarget_->isConstant());
    setOutputFlags(constant ? wave::ConstantBlock : 0);
}
