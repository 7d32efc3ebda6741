#include "modulation/XLFOFreqController.h"

#include <cmath>

#include "core/FloatEpsilon.h"
#include "modulation/XLFO.h"

namespace {
constexpr float kBarsPerCycle[XLFOFreqController::SyncModeCount] = {
    1.0f, 16.0f, 8.0f, 4.0f, 2.0f, 1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f, 0.015625f};
constexpr float kQuarterNotesPerMinuteToHz = 1.0f / 240.0f;  // one bar of four quarters per cycle
}  // namespace

float XLFOFreqController::barsPerCycle(SyncMode mode) {
    int m = static_cast<int>(mode);
    return m >= 0 && m < SyncModeCount ? kBarsPerCycle[m] : kBarsPerCycle[0];
}

XLFOFreqController::XLFOFreqController(wave::Environment& environment, XLFO& xlfo)
    : wave::Producer(environment),
      syncMode(this, Free),
      xlfo_(xlfo),
      defaultFrequency_(environment, 0.1f),
      defaultOffset_(environment, 1.0f),
      tempoFrequency_(environment, 0.0f),
      frequencyTarget_(&defaultFrequency_),
      offsetInput_(&defaultOffset_) {
    defaultFrequency_.setRange(0.0f, 5000.0f);
    defaultOffset_.setRange(0.5f, 2.0f);
    tempoFrequency_.setRange(0.0f, 1000.0f);
}

bool XLFOFreqController::isSynced() const {
    int m = static_cast<int>(syncMode.get());
    return m > Free && m < SyncModeCount;
}

void XLFOFreqController::retargetTempoFrequency() {
    tempoFrequency_.rampTo(tempo_ * kQuarterNotesPerMinuteToHz / barsPerCycle(syncMode.get()));
    syncPending_ = true;
}

void XLFOFreqController::transportChanged(float tempo, float songPosition) {
    if (!isSynced()) return;
    // A host without a tempo reports 0 (or nothing usable): count in 120 BPM.
    tempo_ = std::fabs(tempo) > kFloatEpsilon && std::isfinite(tempo) ? tempo : 120.0f;
    songPosition_ = songPosition;
    transportKnown_ = true;
    retargetTempoFrequency();
}

void XLFOFreqController::propertyChanged(AbstractProperty* property) {
    // A new note length takes effect at once with the tempo last reported.
    if (property == &syncMode && isSynced() && transportKnown_) retargetTempoFrequency();
}

void XLFOFreqController::produce(SampleBuffer& buffer, int count, int flags) {
    if (!isSynced()) {
        frequencyTarget_->pull(count, flags);
        setCurrentOutput(frequencyTarget_->currentOutput());
        setOutputFlags(frequencyTarget_->outputFlags());
        return;
    }
    const float* tempo = tempoFrequency_.pull(count, 0);
    const float* factor = offsetInput_->pull(count, 0);
    float* out = buffer.samples();
    for (int i = 0; i < count; ++i) out[i] = tempo[i] * factor[i];
    setOutputFlags(tempoFrequency_.isConstant() && offsetInput_->isConstant() ? wave::ConstantBlock : 0);

    if (syncPending_) {
        // While the factor moves, the phase stays locked to the position of the last sync.
        if (offsetInput_->isConstant()) syncPosition_ = songPosition_;
        float f = factor[0] > 0.0f ? factor[0] : 1.0f;
        xlfo_.sync(tempo_, syncPosition_, barsPerCycle(syncMode.get()) / f);
        syncPending_ = false;
    }
}
