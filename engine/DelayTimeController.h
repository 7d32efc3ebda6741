#pragma once

#include "core/Property.h"
#include "wave/FloatParameterSource.h"
#include "wave/Producer.h"

// The delay time of one delay line in milliseconds, per sample: free (the time target, with its
// modulation) or locked to the host tempo (a note value divided by the tempo, times the offset
// target's factor), always within 5..5000 ms when locked.
class DelayTimeController : public wave::Producer, public PropertyOwner {
public:
    enum Sync { Free = 0, TwoNotes = 1, Note = 2, HalfNote = 3, QuarterNote = 4 };
    static constexpr const char* kSyncNames = "Free,Two Notes,Note,Half Note,Quarter Note";
    static constexpr float kMinimumMs = 5.0f;
    static constexpr float kMaximumMs = 5000.0f;

    // The targets are the modulated "Time" (ms) and "Offset" (factor 2^offset) signals.
    DelayTimeController(wave::Environment& environment, wave::Producer* timeTarget, wave::Producer* offsetTarget);

    LimitedProperty<int> syncIndex;  // bound to the delay's "Sync"

    // Audio thread, every host block: a synchronised time follows the tempo (beats per minute).
    void retarget(double tempo);
    // Milliseconds × beats per minute of a sync index, 0 for Free.
    static float syncTable(int index);

    void setTargets(wave::Producer* timeTarget, wave::Producer* offsetTarget);
    FloatParameterSource& syncTime() { return syncTime_; }

    void produce(SampleBuffer& output, int count, int flags) override;
    void propertyChanged(AbstractProperty*) override {}

private:
    FloatParameterSource syncTime_;
    wave::Producer* timeTarget_;
    wave::Producer* offsetTarget_;
};
