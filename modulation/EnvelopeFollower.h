#pragma once

#include "wave/FloatParameterSource.h"
#include "wave/Producer.h"

// Follows the level of an audio signal on a decibel scale. The input is a level signal (non-negative
// samples); the output is the followed level above -60 dBFS divided by 60, so it is 0 at -60 dBFS or
// below, 1 at 0 dBFS and above 1 for louder input, and it rises and falls linearly in dB. The attack
// and release times are the times in which the follower covers 90 % of a step in dB.
//
// The follower keeps its state across resets. In cycles in which nobody reads it (only the closing
// pass calls it) it does no work; when it is read again it restarts from the current input level,
// where a follower that had kept following would be close to, so the output does not jump.
class EnvelopeFollower : public wave::Filter {
public:
    static constexpr float kMinimumTime = 0.0005f;  // seconds
    static constexpr float kMaximumTime = 10.0f;

    explicit EnvelopeFollower(wave::Environment& environment);

    // Set-up: the attack and release time signals (seconds). Null reconnects the internal default
    // (0.0005 s attack, 0.1 s release).
    void setAttackInput(wave::Producer* producer) { attackInput_ = producer ? producer : &defaultAttack_; }
    void setReleaseInput(wave::Producer* producer) { releaseInput_ = producer ? producer : &defaultRelease_; }
    wave::Producer* attackInput() const { return attackInput_; }
    wave::Producer* releaseInput() const { return releaseInput_; }
    FloatParameterSource& defaultAttack() { return defaultAttack_; }
    FloatParameterSource& defaultRelease() { return defaultRelease_; }

    // The followed level in dB above -60 dBFS.
    float state() const { return state_; }

    // [audio] Skips the cycle when only the closing pass asks for it.
    void produce(SampleBuffer& output, int count, int flags) override;
    // [audio] Never blocks or allocates. Always updates the state and writes the output.
    void filter(const float* input, SampleBuffer& output, int count, int flags) override;

private:
    // The level of one input sample in dB above -60 dBFS, never below 0.
    static float levelAbove(float x);

    FloatParameterSource defaultAttack_;
    FloatParameterSource defaultRelease_;
    wave::Producer* attackInput_;
    wave::Producer* releaseInput_;
    float state_ = 0.0f;
    bool idle_ = false;  // a cycle was skipped: the state is stale
    float attackCoefficient_ = 0.0f;
    float attackProduct_ = -1.0f;  // sample rate * attack time the coefficient belongs to
    float releaseCoefficient_ = 0.0f;
    float releaseProduct_ = -1.0f;
};
