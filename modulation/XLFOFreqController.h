#pragma once

#include "core/Property.h"
#include "wave/FloatParameterSource.h"
#include "wave/Producer.h"

class XLFO;

// The frequency input of an XLFO: in free mode the frequency target passes through; in a synced mode
// the frequency follows the host tempo (one cycle per 16 bars down to 1/64 bar, times the offset
// factor) and the XLFO's phase is locked to the host's song position.
class XLFOFreqController : public wave::Producer, public PropertyOwner {
public:
    enum SyncMode {
        Free = 0,
        Bars16,
        Bars8,
        Bars4,
        Bars2,
        Bars1,
        Bar1_2,
        Bar1_4,
        Bar1_8,
        Bar1_16,
        Bar1_32,
        Bar1_64,
        SyncModeCount
    };

    // Bars per cycle by mode (the free-mode entry is never used).
    static float barsPerCycle(SyncMode mode);

    XLFOFreqController(wave::Environment& environment, XLFO& xlfo);

    Property<SyncMode> syncMode;

    // Set-up: the free-mode frequency (Hz) and the synced frequency's factor (0.5 .. 2). Null
    // reconnects the internal default (0.1 Hz, factor 1).
    void setFrequencyTarget(wave::Producer* producer) {
        frequencyTarget_ = producer ? producer : &defaultFrequency_;
    }
    void setOffsetFactorInput(wave::Producer* producer) {
        offsetInput_ = producer ? producer : &defaultOffset_;
    }
    wave::Producer* frequencyTarget() const { return frequencyTarget_; }
    wave::Producer* offsetFactorInput() const { return offsetInput_; }
    FloatParameterSource& defaultFrequency() { return defaultFrequency_; }
    FloatParameterSource& defaultOffsetFactor() { return defaultOffset_; }
    FloatParameterSource& tempoFrequency() { return tempoFrequency_; }

    bool isSynced() const;
    float tempo() const { return tempo_; }
    float songPosition() const { return songPosition_; }

    // Audio thread. The host's tempo (BPM; 0 counts as 120) and song position (quarter notes);
    // ignored in free mode.
    void transportChanged(float tempo, float songPosition);

    // Audio thread. Never blocks or allocates.
    void produce(SampleBuffer& buffer, int count, int flags) override;
    void propertyChanged(AbstractProperty* property) override;

private:
    void retargetTempoFrequency();

    XLFO& xlfo_;
    FloatParameterSource defaultFrequency_;
    FloatParameterSource defaultOffset_;
    FloatParameterSource tempoFrequency_;
    wave::Producer* frequencyTarget_;
    wave::Producer* offsetInput_;
    float tempo_ = 120.0f;
    float songPosition_ = 0.0f;
    float syncPosition_ = 0.0f;
    bool syncPending_ = false;
    bool transportKnown_ = false;
};
