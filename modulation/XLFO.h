#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "wave/FloatParameterSource.h"
#include "wave/Producer.h"

// The step LFO. One cycle is divided into up to 16 steps; each step holds a value between -1 and 1,
// may glide into the next step's value along one of four curves, may draw a random value each time
// it is reached and may snap to 25 levels. The balance moves the midpoint of the cycle: the first
// half of the steps shares the phase range 0 .. balance, the second half balance .. 1. The phase
// offset (circular) shifts where the cycle is read; a MIDI note can restart the cycle there.
//
// Its three continuous inputs (frequency in Hz, glide offset, phase offset) are producer
// connections with internal defaults, so that modulation targets can replace them.
class XLFO : public wave::Source, public PropertyOwner {
public:
    enum GlideCurve { Linear = 0, Sqr = 1, Sqrt = 2, Sine = 3 };
    static constexpr int kMaxSteps = 16;

    using CurveFunction = float (*)(float);

    // One step of the cycle.
    class Step : public PropertyOwner {
    public:
        explicit Step(XLFO& owner, int index);

        LimitedProperty<float> glide;  // 0 .. 1
        Property<GlideCurve> curve;
        Property<bool> random;
        Property<bool> snap;
        LimitedProperty<float> value;  // -1 .. 1

        int index() const { return index_; }
        bool isMiddle() const { return middle_; }
        double startPhase() const { return start_; }
        double endPhase() const { return end_; }
        // The value used for the current pass, once resolved.
        float resolvedValue() const { return resolvedValue_; }
        bool isResolved() const { return resolved_; }

        void propertyChanged(AbstractProperty* property) override;

    private:
        friend class XLFO;

        float resolvedValue_ = 0.0f;
        bool resolved_ = false;
        int index_;
        bool middle_ = false;
        double start_ = 0.0;
        double end_ = 1.0;
        float nextValue_ = 0.0f;  // pre-drawn value of the next pass, used with one step
        CurveFunction curveFunction_;
        XLFO& owner_;
    };

    explicit XLFO(wave::Environment& environment);

    LimitedProperty<int> stepCount;  // 1 .. 16
    LimitedProperty<float> balance;  // 0.0001 .. 0.9999
    Property<bool> midiTrigger;      // note-ons restart the cycle
    Property<bool> snap;             // sets the snap switch of every step

    Step& step(int index) { return *steps_[index]; }
    const Step& step(int index) const { return *steps_[index]; }

    // Set-up: the input signals. Null reconnects the internal default (0.1 Hz, glide offset 0,
    // phase offset 0).
    void setFrequencyInput(wave::Producer* producer) {
        frequencyInput_ = producer ? producer : &defaultFrequency_;
    }
    void setGlideOffsetInput(wave::Producer* producer) { glideInput_ = producer ? producer : &defaultGlide_; }
    void setPhaseOffsetInput(wave::Producer* producer) { phaseInput_ = producer ? producer : &defaultPhase_; }
    wave::Producer* frequencyInput() const { return frequencyInput_; }
    wave::Producer* glideOffsetInput() const { return glideInput_; }
    wave::Producer* phaseOffsetInput() const { return phaseInput_; }
    FloatParameterSource& defaultFrequency() { return defaultFrequency_; }
    FloatParameterSource& defaultGlideOffset() { return defaultGlide_; }
    FloatParameterSource& defaultPhaseOffset() { return defaultPhase_; }

    // Raised on the audio thread when the cycle event state changes (the editor's cycle light).
    NotifyEvent& cycleEvent() { return cycleEvent_; }
    bool cycleEventState() const { return eventState_; }

    double phase() const { return phase_; }
    double accumulatedPhase() const { return accumulatedPhase_; }
    // 2 while the output moves too fast to follow on screen, else 0.
    int activityMark() const { return activityMark_; }
    // The largest value among the steps in use (the editor shows it for fast-moving output).
    float maximumStepValue() const;

    // Sets the shift register of the random steps (masked to its 24 bits; 0 becomes 1, since the
    // register would stay at 0 for ever).
    void setRandomSeed(std::uint32_t seed);
    std::uint32_t randomState() const { return random_; }

    // Audio thread. Restarts the cycle at the current phase offset.
    void retrigger();
    // Audio thread. A note-on: restarts when MIDI Trigger is on, else clears the sync reference.
    void noteOn();
    // Audio thread, from the frequency controller. Locks the phase to the song position p (quarter
    // notes) for a cycle of barsPerCycle bars.
    void sync(float tempo, float songPosition, float barsPerCycle);

    // Audio thread. Never blocks or allocates. Renders even when the output is not needed, so the
    // phase keeps advancing.
    void produce(SampleBuffer& buffer, int count, int flags) override;
    void propertyChanged(AbstractProperty* property) override;

    static CurveFunction curveFunction(GlideCurve curve);
    // The nearest of 25 levels between -1 and 1.
    static float snapValue(float v);

private:
    void rebuildBoundaries();
    void remapBalance(double oldBalance, double newBalance);
    int findStep(double x) const;
    float resolve(Step& step);
    float nextValueAfter(Step& step);
    float drawRelativeTo(float previous);
    int renderStep(Step& step, float* out, const float* frequency, const float* glide, const float* offset,
                   int count, double& x);
    void checkCycleEvent(double x, int sampleIndex);

    FloatParameterSource defaultFrequency_;
    FloatParameterSource defaultGlide_;
    FloatParameterSource defaultPhase_;
    wave::Producer* frequencyInput_;
    wave::Producer* glideInput_;
    wave::Producer* phaseInput_;

    NotifyEvent cycleEvent_;
    bool eventState_ = false;

    double phase_ = 0.0;
    double accumulatedPhase_ = 0.0;
    float lastPhaseOffset_ = 0.0f;
    int lastNotificationSample_ = 0;

    double balance_ = 0.5;
    double complement_ = 0.5;
    double firstHalfWidth_ = 0.0;   // 2b / N
    double secondHalfWidth_ = 0.0;  // 2(1 - b) / N

    float lastSongPosition_ = -1.0f;
    float syncReference_ = 0.0f;
    bool halfCycle_ = false;

    int activityMark_ = 0;
    std::array<std::unique_ptr<Step>, kMaxSteps> steps_;
    std::uint32_t random_ = 1;
};
