#include "modulation/EnvelopeGenerator.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"
#include "modulation/Spline.h"
#include "modulation/Trigger.h"

namespace {

constexpr float kMaximumTime = 100.0f;
constexpr double kNotifyInterval = 0.1;  // seconds between gate notifications at most
constexpr int kLongest = 1 << 30;        // counters saturate here

int roundDown4(int n) {
    return n & ~3;
}
int roundUp4(int n) {
    return (n + 3) & ~3;
}

// Whole samples in `seconds`, saturated.
int samplesIn(double seconds, double rate) {
    double n = seconds * rate;
    return n > 0.0 ? static_cast<int>(std::min(n, static_cast<double>(kLongest))) : 0;
}

// The curve value at the end of the table: its last entry.
float endValue(const FunctionTable& table) {
    return table.values()[table.size() - 1];
}

// The table read at curve position p; from the end on, exactly its last entry.
float curveAt(const FunctionTable& table, float p) {
    return p < 1.0f ? table.lookup(p) : endValue(table);
}

// A curve segment: out = offset + gain * T(p), with p advancing by `increment` before each sample and
// limited to the end of the table. Answers whether the end was reached.
bool renderSegment(const FunctionTable& table, float* out, int n, float offset, float gain, float& p,
                   float increment) {
    float position = p;
    for (int i = 0; i < n; ++i) {
        position = std::min(position + increment, 1.0f);
        out[i] = offset + gain * curveAt(table, position);
    }
    p = position;
    return position >= 1.0f;
}

float advanced(float p, int n, float increment) {
    return std::min(p + static_cast<float>(n) * increment, 1.0f);
}

}  // namespace

std::unique_ptr<EnvelopeGenerator::CurveTables> EnvelopeGenerator::CurveTables::createShaped() {
    auto t = std::make_unique<CurveTables>();
    Spline up(0.0, 0.2, 0.0, 0.4, 0.75, 1.0);
    Spline down(1.0, 0.19, 0.55, 0.42, 0.0, 0.0);
    t->tables[AttackCurve].build(kTableSize, up, 0.0f, 1.0f);
    t->tables[DecayCurve].build(kTableSize, down, 0.0f, 1.0f);
    t->tables[RiseCurve].build(kTableSize, up, 0.0f, 1.0f);
    t->tables[ReleaseCurve].build(kTableSize, down, 0.0f, 1.0f);
    return t;
}

std::unique_ptr<EnvelopeGenerator::CurveTables> EnvelopeGenerator::CurveTables::createLinear() {
    auto t = std::make_unique<CurveTables>();
    DefaultUpCurve up;
    DefaultDownCurve down;
    t->tables[AttackCurve].build(kTableSize, up, 0.0f, 1.0f);
    t->tables[DecayCurve].build(kTableSize, down, 0.0f, 1.0f);
    t->tables[RiseCurve].build(kTableSize, up, 0.0f, 1.0f);
    t->tables[ReleaseCurve].build(kTableSize, down, 0.0f, 1.0f);
    return t;
}

EnvelopeGenerator::EnvelopeGenerator(wave::Environment& environment, const CurveTables* sharedTables)
    : wave::Source(environment), tables_(sharedTables) {
    struct Default {
        float value, minimum, maximum;
    };
    constexpr Default defaults[InputCount] = {{0.0f, 0.0f, kMaximumTime},
                                              {0.0f, 0.0f, kMaximumTime},
                                              {kMinimumTime, kMinimumTime, kMaximumTime},
                                              {kMinimumTime, kMinimumTime, kMaximumTime},
                                              {1.0f, 0.0f, 1.0f},
                                              {kMinimumTime, kMinimumTime, kMaximumTime}};
    for (int k = 0; k < InputCount; ++k) {
        defaults_[k] = std::make_unique<FloatParameterSource>(environment, defaults[k].value);
        defaults_[k]->setRange(defaults[k].minimum, defaults[k].maximum);
        inputs_[k] = defaults_[k].get();
    }
    if (!tables_) {
        ownTables_ = CurveTables::createLinear();
        tables_ = ownTables_.get();
    }
    addToResetList();
    addToClosingPass(AfterFront);
}

EnvelopeGenerator::~EnvelopeGenerator() = default;

void EnvelopeGenerator::setInput(Input which, wave::Producer* producer) {
    inputs_[which] = producer ? producer : defaults_[which].get();
}

void EnvelopeGenerator::noteOn() {
    triggerPending_ = true;
}

void EnvelopeGenerator::noteOff() {
    triggerPending_ = false;
    gateOff();
}

void EnvelopeGenerator::gateOff() {
    if (gate_) gateChangedInBlock_ = true;
    gate_ = false;
    refreshCountdown_ = 0;
}

void EnvelopeGenerator::reset() {
    releaseProgress_ = 1.0f;
    stage_ = Idle;
    currentLevel_ = 0.0f;
    samplesSinceRelease_ = 0;
    delayRemaining_ = 0;
    attackRemaining_ = 0;
    if (gate_) gateChangedInBlock_ = true;
    gate_ = false;
    triggerPending_ = false;
    holdSamples_ = samplesIn(hold_, environment().sampleRate());
}

bool EnvelopeGenerator::isMuted(SampleBuffer&, int, int) {
    return stage_ != Running && !triggerPending_;
}

void EnvelopeGenerator::readInputs(int count) {
    if (inputsRead_) return;
    for (int k = 0; k < InputCount; ++k) samples_[k] = inputs_[k]->pull(count, 0);
    inputsRead_ = true;
}

void EnvelopeGenerator::refreshInputs(int i) {
    const double rate = environment().sampleRate();
    auto sample = [&](Input k, float lo, float hi) {
        float v = samples_[k][i];
        return v >= lo ? std::min(v, hi) : lo;  // also maps NaN to the lower limit
    };
    const float hold = sample(Hold, 0.0f, kMaximumTime);
    const float delay = sample(Delay, 0.0f, kMaximumTime);
    const float attack = sample(Attack, kMinimumTime, kMaximumTime);
    const float decay = sample(Decay, kMinimumTime, kMaximumTime);
    const float sustain = sample(Sustain, 0.0f, 1.0f);
    const float release = sample(Release, kMinimumTime, kMaximumTime);

    if (std::fabs(attack - attack_) > kFloatEpsilon) {
        attack_ = attack;
        if (attackRunning()) attackRemaining_ = roundDown4(samplesIn((1.0 - attackProgress_) * attack, rate));
    }
    if (std::fabs(decay - decay_) > kFloatEpsilon || std::fabs(sustain - sustain_) > kFloatEpsilon) {
        decay_ = decay;
        sustain_ = sustain;
        if (stage_ == Idle) currentLevel_ = 0.0f;
        decayRange_ = attackRunning() ? std::max(1.0f - sustain - kFloatEpsilon, 0.0f)
                                      : std::max(std::fabs(currentLevel_ - sustain) - kFloatEpsilon, 0.0f);
        decayProgress_ = 0.0f;  // the decay restarts from where the level is
    }
    if (std::fabs(release - release_) > kFloatEpsilon) {
        release_ = release;
        if (stage_ != Idle) {
            releaseProgress_ = 0.0f;
            releaseStartLevel_ = currentLevel_;
        }
    }
    if (std::fabs(hold - hold_) > kFloatEpsilon) {
        hold_ = hold;
        holdSamples_ = samplesIn(hold, rate);
    }
    if (std::fabs(delay - delay_) > kFloatEpsilon) {
        delay_ = delay;
        // Only a delay still counting down follows the new time, keeping the part already waited;
        // a running attack, decay or sustain never gets a new delay inserted.
        if (delayRemaining_ > 0) {
            int total = roundUp4(samplesIn(delay, rate));
            int waited = delayTotal_ - delayRemaining_;
            delayRemaining_ = roundDown4(std::max(total - waited, 0));
            delayTotal_ = total;
        }
    }
}

void EnvelopeGenerator::start() {
    const double rate = environment().sampleRate();
    triggerLevel_ = currentLevel_;
    samplesSinceRelease_ = 0;
    decayRange_ = std::max(1.0f - sustain_ - kFloatEpsilon, 0.0f);
    delayRemaining_ = roundUp4(samplesIn(delay_, rate));
    delayTotal_ = delayRemaining_;
    attackRemaining_ = roundUp4(samplesIn(attack_, rate));
    attackProgress_ = 0.0f;
    decayProgress_ = 0.0f;
    releaseProgress_ = 0.0f;
    stage_ = Running;
    if (!gate_) gateChangedInBlock_ = true;
    gate_ = true;
}

void EnvelopeGenerator::produce(SampleBuffer& buffer, int count, int flags) {
    if (stage_ == Finished) stage_ = Idle;
    outputNeeded_ = !(flags & wave::OutputNotNeeded);
    out_ = buffer.samples();
    inputsRead_ = false;
    const bool idleAtStart = stage_ == Idle && !triggerPending_;
    if (outputNeeded_ || !idleAtStart) readInputs(count);

    if (triggerPending_) {
        refreshInputs(0);
        refreshCountdown_ = kRefreshInterval;
        start();
        triggerPending_ = false;
    }

    int position = 0;
    if (trigger_ && trigger_->isEnabled()) {
        trigger_->run(count);
        for (const Trigger::Event& e : trigger_->events()) {
            int at = std::max(roundDown4(e.sampleIndex), position);
            renderRange(position, at);
            position = at;
            if (e.state) {
                // Starts from the inputs of the last refresh; the countdown runs on to the next.
                readInputs(count);
                start();
            } else {
                triggerPending_ = false;
                gateOff();
            }
        }
    }
    renderRange(position, count);
    setOutputFlags(idleAtStart && stage_ == Idle ? wave::ConstantBlock : 0);

    // Gate notifications, at most one per 0.1 s; a change inside that time is reported late.
    const int interval = static_cast<int>(kNotifyInterval * environment().sampleRate());
    notifyCounter_ = std::min(notifyCounter_ + count, kLongest);
    if (gateChangedInBlock_ || notificationOwed_) {
        if (notifyCounter_ >= interval) {
            gateChanged_.fire(this);
            notifyCounter_ = 0;
            notificationOwed_ = false;
        } else {
            notificationOwed_ = true;
        }
    }
    gateChangedInBlock_ = false;
}

void EnvelopeGenerator::renderRange(int from, int to) {
    int position = from;
    while (position < to) {
        int n = to - position;
        if (inputsRead_) {
            if (refreshCountdown_ <= 0) {
                refreshInputs(position);
                refreshCountdown_ = kRefreshInterval;
            }
            n = std::min(refreshCountdown_, n);
            refreshCountdown_ = roundDown4(refreshCountdown_ - n);
        }
        renderSamples(out_ + position, n);
        position += n;
    }
}

void EnvelopeGenerator::renderSamples(float* out, int n) {
    // Split the samples into delay, attack, decay/sustain and release parts.
    int d = std::min(delayRemaining_, n);
    int a = std::min(attackRemaining_, n - d);
    int s = n - d - a;
    int r = 0;
    if (!gate_) {
        if (releaseProgress_ > 0.0f) {
            d = a = s = 0;
            r = n;
        } else {
            // The hold: the stages go on as if the trigger were still down.
            int h = roundDown4(std::max(holdSamples_ - samplesSinceRelease_, 0));
            d = std::min(d, h);
            a = std::min(a, std::max(h - d, 0));
            s = std::min(s, std::max(h - d - a, 0));
            r = n - d - a - s;
            samplesSinceRelease_ = std::min(samplesSinceRelease_ + n, kLongest);
        }
    }

    if (!outputNeeded_ && stage_ != Running) {
        advanceWithoutOutput(d, a, s, r);
        return;
    }

    if (r == n && releaseProgress_ >= 1.0f) {
        // Idle or done: the level rests at the end of the release.
        std::fill(out, out + n, currentLevel_);
        return;
    }

    const double rate = environment().sampleRate();
    const auto& tables = tables_->tables;
    float level = currentLevel_;

    // Delay: the level stands still.
    std::fill(out, out + d, level);
    out += d;

    if (a > 0) {
        const float start = triggerLevel_;
        const FunctionTable& curve = tables[CurveTables::AttackCurve];
        const float gain = 1.0f - start - kFloatEpsilon;
        renderSegment(curve, out, a, start, gain, attackProgress_,
                      static_cast<float>(1.0 / (attack_ * rate)));
        if (a == attackRemaining_) {
            // The count decides where the attack ends: its last sample is the top of the curve.
            attackProgress_ = 1.0f;
            out[a - 1] = start + gain * endValue(curve);
        }
        level = out[a - 1];
        out += a;
    }

    if (s > 0) {
        const float sustain = sustain_;
        const float range = decayRange_;
        const float increment = static_cast<float>(1.0 / (decay_ * rate));
        const FunctionTable& fall = tables[CurveTables::DecayCurve];
        const FunctionTable& rise = tables[CurveTables::RiseCurve];
        float p = decayProgress_;
        for (int i = 0; i < s; ++i) {
            if (level - sustain > kFloatEpsilon) {
                p = std::min(p + increment, 1.0f);
                level = sustain + range * curveAt(fall, p);
            } else if (sustain - level > kFloatEpsilon) {
                p = std::min(p + increment, 1.0f);
                level = sustain - range + range * curveAt(rise, p);
            } else {
                std::fill(out + i, out + s, sustain);
                level = sustain;
                break;
            }
            out[i] = level;
        }
        decayProgress_ = p;
        out += s;
    }

    delayRemaining_ = roundDown4(delayRemaining_ - d);
    attackRemaining_ = roundDown4(attackRemaining_ - a);

    if (r > 0) {
        if (releaseProgress_ <= 0.0f) releaseStartLevel_ = level;  // the release begins here
        bool ended = renderSegment(tables[CurveTables::ReleaseCurve], out, r, 0.0f, releaseStartLevel_,
                                   releaseProgress_, static_cast<float>(1.0 / (release_ * rate)));
        level = out[r - 1];
        if (ended && stage_ == Running) {
            stage_ = Finished;
            delayRemaining_ = 0;
            attackRemaining_ = 0;
        }
    }
    currentLevel_ = level;
}

void EnvelopeGenerator::advanceWithoutOutput(int d, int a, int s, int r) {
    const double rate = environment().sampleRate();
    delayRemaining_ = roundDown4(delayRemaining_ - d);
    attackRemaining_ = roundDown4(attackRemaining_ - a);
    attackProgress_ = advanced(attackProgress_, a, static_cast<float>(1.0 / (attack_ * rate)));
    if (s > 0) currentLevel_ = sustain_;
    if (r > 0) {
        if (releaseProgress_ <= 0.0f) releaseStartLevel_ = currentLevel_;
        releaseProgress_ = advanced(releaseProgress_, r, static_cast<float>(1.0 / (release_ * rate)));
        if (releaseProgress_ >= 1.0f) {
            currentLevel_ = releaseStartLevel_ * endValue(tables_->tables[CurveTables::ReleaseCurve]);
            stage_ = Idle;
        }
    }
}
