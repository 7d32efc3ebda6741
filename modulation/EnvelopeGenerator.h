#pragma once

#include <array>
#include <memory>

#include "core/NotifyEvent.h"
#include "wave/FloatParameterSource.h"
#include "wave/FunctionTable.h"
#include "wave/Producer.h"

class Trigger;

// The envelope source: after a trigger it waits (delay), rises to full level (attack), falls to the
// sustain level (decay) and holds it while the trigger is down; after release it keeps going for the
// hold time and then falls to zero (release). Output 0 .. 1. Attack, decay and release follow curve
// tables shared by all generators of an instance. The six time and level inputs are producer
// connections with internal defaults, so that modulation targets can replace them; they are sampled
// every 64 samples. All stage counts are kept at multiples of 4 samples.
class EnvelopeGenerator : public wave::Source, public wave::MuteController {
public:
    enum Input { Hold = 0, Delay, Attack, Decay, Sustain, Release, InputCount };
    enum Stage { Idle = 0, Running = 1, Finished = 2 };

    static constexpr float kMinimumTime = 0.001451247f;  // 64 samples at 44.1 kHz
    static constexpr int kRefreshInterval = 64;
    static constexpr int kTableSize = 4096;

    // The four curves: attack (rising), decay (falling), rise to a raised sustain, release.
    struct CurveTables {
        enum { AttackCurve = 0, DecayCurve, RiseCurve, ReleaseCurve };
        std::array<FunctionTable, 4> tables;

        // The shaped Bezier curves; built once on a set-up thread and shared read-only.
        static std::unique_ptr<CurveTables> createShaped();
        // Straight lines, for a generator created without shared tables.
        static std::unique_ptr<CurveTables> createLinear();
    };

    // y = x
    class DefaultUpCurve : public FunctionTableFunction {
    public:
        double evaluate(double x) const override { return x; }
    };
    // y = 1 - x
    class DefaultDownCurve : public FunctionTableFunction {
    public:
        double evaluate(double x) const override { return 1.0 - x; }
    };

    // Without shared tables the generator builds and owns linear ones.
    explicit EnvelopeGenerator(wave::Environment& environment, const CurveTables* sharedTables = nullptr);
    ~EnvelopeGenerator() override;

    // Set-up: input signals in seconds (sustain as a level 0 .. 1). Null reconnects the internal
    // default.
    void setInput(Input which, wave::Producer* producer);
    wave::Producer* input(Input which) const { return inputs_[which]; }
    FloatParameterSource& defaultInput(Input which) { return *defaults_[which]; }

    // Set-up: the audio trigger (not owned); none means MIDI notes only.
    void setTrigger(Trigger* trigger) { trigger_ = trigger; }
    Trigger* trigger() const { return trigger_; }

    // Raised on the audio thread after gate changes, at most every 0.1 s.
    NotifyEvent& gateChanged() { return gateChanged_; }

    // Audio thread. MIDI note triggering: a note-on starts the envelope at the next block.
    void noteOn();
    // Audio thread. Releases the gate.
    void noteOff();

    // Audio thread. Never blocks or allocates.
    void produce(SampleBuffer& buffer, int count, int flags) override;
    // Audio thread. Back to idle at level 0.
    void reset() override;
    // Audio thread. True while idle (neither running nor with a pending trigger).
    bool isMuted(SampleBuffer& output, int count, int flags) override;

    int stage() const { return stage_; }
    bool gate() const { return gate_; }
    bool triggerPending() const { return triggerPending_; }
    float currentLevel() const { return currentLevel_; }
    int delayRemaining() const { return delayRemaining_; }
    int attackRemaining() const { return attackRemaining_; }
    int holdSamples() const { return holdSamples_; }
    const CurveTables& curveTables() const { return *tables_; }

private:
    void readInputs(int count);
    void refreshInputs(int index);
    void start();
    void gateOff();
    void renderRange(int from, int to);
    void renderSamples(float* out, int n);
    void advanceWithoutOutput(int d, int a, int s, int r);
    bool attackRunning() const { return stage_ == Running && attackRemaining_ > 0; }

    std::array<std::unique_ptr<FloatParameterSource>, InputCount> defaults_;
    std::array<wave::Producer*, InputCount> inputs_{};
    std::array<const float*, InputCount> samples_{};
    bool inputsRead_ = false;
    bool outputNeeded_ = true;
    float* out_ = nullptr;

    float hold_ = 0.0f;
    float delay_ = 0.0f;
    float attack_ = kMinimumTime;
    float decay_ = kMinimumTime;
    float sustain_ = 1.0f;
    float release_ = kMinimumTime;

    int stage_ = Idle;
    bool gate_ = false;
    bool triggerPending_ = false;

    int delayRemaining_ = 0;
    int delayTotal_ = 0;
    int attackRemaining_ = 0;
    int holdSamples_ = 0;
    int samplesSinceRelease_ = 0;

    float attackProgress_ = 0.0f;
    float decayProgress_ = 0.0f;
    float releaseProgress_ = 1.0f;

    float currentLevel_ = 0.0f;
    float releaseStartLevel_ = 0.0f;
    float triggerLevel_ = 0.0f;
    float decayRange_ = 0.0f;

    int refreshCountdown_ = 0;

    std::unique_ptr<CurveTables> ownTables_;
    const CurveTables* tables_;
    Trigger* trigger_ = nullptr;
    NotifyEvent gateChanged_;
    int notifyCounter_ = 1 << 30;  // the first change is reported at once
    bool gateChangedInBlock_ = false;
    bool notificationOwed_ = false;
};
