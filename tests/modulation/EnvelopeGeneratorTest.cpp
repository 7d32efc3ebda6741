#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ModulationRig.h"
#include "core/FloatEpsilon.h"
#include "modulation/EnvelopeGenerator.h"
#include "modulation/Trigger.h"

namespace {

constexpr float kRate = 48000.0f;

struct EgRig {
    wave::Environment env{128};
    std::unique_ptr<EnvelopeGenerator::CurveTables> tables = EnvelopeGenerator::CurveTables::createShaped();
    EnvelopeGenerator eg{env, tables.get()};

    EgRig() { env.setSampleRate(kRate); }
    void set(EnvelopeGenerator::Input input, float value) { eg.defaultInput(input).value().jumpTo(value); }
    void shape(float delay, float attack, float decay, float sustain, float release = 0.1f,
               float hold = 0.0f) {
        set(EnvelopeGenerator::Delay, delay);
        set(EnvelopeGenerator::Attack, attack);
        set(EnvelopeGenerator::Decay, decay);
        set(EnvelopeGenerator::Sustain, sustain);
        set(EnvelopeGenerator::Release, release);
        set(EnvelopeGenerator::Hold, hold);
    }
    // Renders `total` samples; `events(done)` runs before each block.
    template <typename F>
    std::vector<float> run(int total, F events) {
        std::vector<float> out;
        runBlocks(env, eg, total, 128, out, [&](int done, int) { events(done); });
        return out;
    }
    std::vector<float> run(int total) {
        return run(total, [](int) {});
    }
};

// The last position of the largest value.
int argMax(const std::vector<float>& s) {
    auto last = std::max_element(s.rbegin(), s.rend());
    return static_cast<int>(s.rend() - last) - 1;
}

// First sample from `from` on whose value is within `tolerance` of `value`.
int firstNear(const std::vector<float>& s, int from, float value, float tolerance = 1e-4f) {
    for (size_t i = from; i < s.size(); ++i)
        if (std::abs(s[i] - value) <= tolerance) return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST(EnvelopeGenerator, StagesLastTheirTimesInWholeGroupsOfFour) {
    struct Case {
        float delay, attack, decay, sustain;
        int delaySamples, attackSamples, decaySamples;
    };
    for (Case c :
         {Case{0.0f, 0.01f, 0.1f, 0.5f, 0, 480, 4800}, Case{0.05f, 0.02f, 0.05f, 0.25f, 2400, 960, 2400},
          Case{0.00105f, 0.0022f, 0.01f, 0.0f, 52, 108, 480}}) {  // 50.4 and 105.6 samples round up
        EgRig rig;
        rig.shape(c.delay, c.attack, c.decay, c.sustain);
        auto out = rig.run(c.delaySamples + c.attackSamples + c.decaySamples + 2048, [&](int done) {
            if (done == 0) rig.eg.noteOn();
        });
        for (int i = 0; i < c.delaySamples; ++i) ASSERT_EQ(out[i], 0.0f) << i;
        EXPECT_GT(out[c.delaySamples], 0.0f);
        // The attack ends at 1 - epsilon on its last sample; the decay starts on the next.
        int peak = c.delaySamples + c.attackSamples - 1;
        EXPECT_EQ(argMax(out), peak);
        EXPECT_FLOAT_EQ(out[peak], 1.0f - kFloatEpsilon);
        EXPECT_LT(out[peak + 1], out[peak]);
        // The decay reaches the sustain level after the decay time, and stays there.
        int sustained = firstNear(out, peak, c.sustain, 0.0f);
        EXPECT_NEAR(sustained - peak, c.decaySamples, 4) << c.attack;
        for (size_t i = sustained; i < out.size(); ++i) ASSERT_FLOAT_EQ(out[i], c.sustain) << i;
        EXPECT_EQ(rig.eg.stage(), EnvelopeGenerator::Running);
    }
}

TEST(EnvelopeGenerator, FullSustainHoldsTheTopUntilRelease) {
    EgRig rig;
    rig.shape(0.0f, 0.01f, 0.1f, 1.0f);
    auto out = rig.run(48000, [&](int done) {
        if (done == 0) rig.eg.noteOn();
    });
    for (int i = 480; i < 48000; ++i) ASSERT_NEAR(out[i], 1.0f, 2 * kFloatEpsilon) << i;
}

TEST(EnvelopeGenerator, HoldKeepsTheStagesGoingAfterGateOffThenReleasesToZero) {
    EgRig rig;
    rig.shape(0.0f, 0.01f, 0.05f, 0.6f, 0.1f, 0.5f);
    const int offAt = 9600;
    auto out = rig.run(offAt + 24000 + 4800 + 1024, [&](int done) {
        if (done == 0) rig.eg.noteOn();
        if (done == offAt) rig.eg.noteOff();
    });
    EXPECT_FALSE(rig.eg.gate());
    // 0.5 s of hold at the sustain level, then the release from there to 0 in 0.1 s.
    for (int i = offAt; i < offAt + 24000; ++i) ASSERT_FLOAT_EQ(out[i], 0.6f) << i;
    EXPECT_LT(out[offAt + 24000], 0.6f);
    int zero = firstNear(out, offAt + 24000, 0.0f, 0.0f);
    EXPECT_NEAR(zero - (offAt + 24000), 4800, 2);
    for (size_t i = zero; i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f) << i;
    EXPECT_EQ(rig.eg.stage(), EnvelopeGenerator::Idle);
    EXPECT_TRUE(rig.eg.isMuted(rig.eg.ownBuffer(), 128, 0));
    EXPECT_TRUE(rig.eg.isConstant());

    // A gate released during the attack with a 0.2 s hold: attack and decay go on for the hold.
    EgRig early;
    early.shape(0.0f, 0.1f, 0.05f, 0.6f, 0.1f, 0.2f);
    auto e = early.run(1280 + 9600 + 4800, [&](int done) {
        if (done == 0) early.eg.noteOn();
        if (done == 1280) early.eg.noteOff();
    });
    EXPECT_EQ(argMax(e), 4799);
    EXPECT_FLOAT_EQ(e[1280 + 9600 - 1], 0.6f);
    EXPECT_LT(e[1280 + 9600], 0.6f);
    EXPECT_NEAR(e.back(), 0.0f, 1e-6f);
}

TEST(EnvelopeGenerator, RetriggerAttacksFromTheCurrentLevel) {
    EgRig rig;
    rig.shape(0.0f, 0.01f, 0.01f, 0.4f);
    std::vector<float> out = rig.run(4096, [&](int done) {
        if (done == 0) rig.eg.noteOn();
    });
    EXPECT_FLOAT_EQ(out.back(), 0.4f);
    out = rig.run(1024, [&](int done) {
        if (done == 0) rig.eg.noteOn();
    });
    EXPECT_GE(out[0], 0.4f);
    EXPECT_LT(out[0], 0.41f);
    for (int i = 1; i < 480; ++i) ASSERT_GT(out[i], out[i - 1]) << i;
    EXPECT_FLOAT_EQ(out[479], 1.0f - kFloatEpsilon);
}

TEST(EnvelopeGenerator, SustainChangeGlidesAlongTheDecayOrRiseCurve) {
    struct Case {
        float from, to;
    };
    for (Case c : {Case{0.5f, 0.8f}, Case{0.5f, 0.2f}}) {
        EgRig rig;
        rig.shape(0.0f, 0.01f, 0.1f, c.from);
        rig.run(9600, [&](int done) {
            if (done == 0) rig.eg.noteOn();
        });
        rig.set(EnvelopeGenerator::Sustain, c.to);
        auto out = rig.run(9600);
        // Within one refresh interval of the change, the level moves monotonically to the new
        // sustain over the decay time.
        int moving = 0;
        while (out[moving] == c.from) ++moving;
        EXPECT_LE(moving, EnvelopeGenerator::kRefreshInterval);
        for (int i = moving + 1; i < 4800; ++i) ASSERT_GE((out[i] - out[i - 1]) * (c.to - c.from), 0.0f) << i;
        EXPECT_NEAR(firstNear(out, 0, c.to, 0.0f) - moving, 4800, 4);
        EXPECT_FLOAT_EQ(out.back(), c.to);
    }
}

TEST(EnvelopeGenerator, DelayCountdownFollowsADelayChangeButNeverDelaysARunningAttack) {
    EgRig rig;
    rig.shape(0.1f, 0.01f, 0.1f, 0.5f);
    // After 960 samples of a 4800-sample delay, the delay is shortened to 2400: the envelope has
    // waited 960 already, so the attack starts at 2400.
    auto out = rig.run(9600, [&](int done) {
        if (done == 0) rig.eg.noteOn();
        if (done == 896) rig.set(EnvelopeGenerator::Delay, 0.05f);
    });
    int start = firstNear(out, 0, 0.0f, 0.0f);
    while (out[start] == 0.0f) ++start;
    EXPECT_EQ(start, 2400);
    EXPECT_EQ(rig.eg.delayRemaining() % 4, 0);

    // A longer delay set during the attack does not interrupt it.
    EgRig attacking;
    attacking.shape(0.0f, 0.1f, 0.1f, 0.5f);
    auto a = attacking.run(9600, [&](int done) {
        if (done == 0) attacking.eg.noteOn();
        if (done == 1280) attacking.set(EnvelopeGenerator::Delay, 1.0f);
    });
    for (int i = 1; i < 4800; ++i) ASSERT_GT(a[i], a[i - 1]) << i;
    EXPECT_EQ(attacking.eg.delayRemaining(), 0);
}

TEST(EnvelopeGenerator, AttackChangeRescalesTheRestOfTheAttack) {
    EgRig rig;
    rig.shape(0.0f, 0.1f, 0.1f, 0.5f);
    // Half way through a 0.1 s attack it becomes 0.2 s: the other half now takes 0.1 s.
    auto out = rig.run(19200, [&](int done) {
        if (done == 0) rig.eg.noteOn();
        if (done == 2432) rig.set(EnvelopeGenerator::Attack, 0.2f);
    });
    EXPECT_NEAR(argMax(out), 2432 + 4800, 72);
}

TEST(EnvelopeGenerator, AudioTriggerStartsAndReleasesOnGroupsOfFour) {
    EgRig rig;
    ScriptedSource level(rig.env, [](long n) { return n >= 1002 && n < 6000 ? 1.0f : 0.0f; });
    Trigger trigger(rig.env);
    trigger.setLevelInput(&level);
    rig.eg.setTrigger(&trigger);
    rig.shape(0.0f, 0.01f, 0.05f, 0.5f, 0.05f);
    auto out = rig.run(12000);
    // On at 1002, rendered from 1000; off after 15 ms below 0.45, at 6720, from 6720.
    EXPECT_EQ(out[999], 0.0f);
    EXPECT_GT(out[1000], 0.0f);
    EXPECT_EQ(argMax(out), 1000 + 479);
    EXPECT_FLOAT_EQ(out[6719], 0.5f);
    EXPECT_LT(out[6720], 0.5f);
    EXPECT_NEAR(firstNear(out, 6720, 0.0f, 0.0f) - 6720, 2400, 2);
}

TEST(EnvelopeGenerator, AudioTriggerStartsFromTheLastRefreshAndKeepsItsCountdown) {
    EgRig rig;
    rig.shape(0.0f, 0.01f, 0.05f, 0.5f, 0.05f);
    // The attack time doubles at 980, after the refresh at 960 and before the trigger at 1002.
    ScriptedSource attack(rig.env, [](long n) { return n < 980 ? 0.01f : 0.02f; });
    rig.eg.setInput(EnvelopeGenerator::Attack, &attack);
    ScriptedSource level(rig.env, [](long n) { return n >= 1002 ? 1.0f : 0.0f; });
    Trigger trigger(rig.env);
    trigger.setLevelInput(&level);
    rig.eg.setTrigger(&trigger);
    auto out = rig.run(4096);
    // Started at 1000 with the 10 ms attack read at 960; the refresh due at 1024 stretches the
    // remaining 95 % to 20 ms: 912 more samples.
    EXPECT_GT(out[1000], 0.0f);
    EXPECT_NEAR(argMax(out), 1024 + 912 - 1, 4);
}

TEST(EnvelopeGenerator, IdleEnvelopeThatNobodyNeedsRendersNothing) {
    EgRig rig;
    ScriptedSource hold(rig.env, [](long) { return 0.0f; });
    rig.eg.setInput(EnvelopeGenerator::Hold, &hold);
    std::vector<float> unused;
    runBlocks(
        rig.env, rig.eg, 4800, 128, unused, [](int, int) {}, /*pull=*/false);
    EXPECT_EQ(hold.calls, 0);
    EXPECT_TRUE(rig.eg.isMuted(rig.eg.ownBuffer(), 128, 0));

    // A pending note makes it run, in the closing pass too.
    rig.eg.noteOn();
    EXPECT_FALSE(rig.eg.isMuted(rig.eg.ownBuffer(), 128, 0));
    runBlocks(
        rig.env, rig.eg, 4800, 128, unused, [](int, int) {}, /*pull=*/false);
    EXPECT_GT(hold.calls, 0);
    EXPECT_NEAR(rig.eg.currentLevel(), 1.0f, 1e-6f);  // sustain 1 by default

    rig.eg.reset();
    EXPECT_EQ(rig.eg.stage(), EnvelopeGenerator::Idle);
    EXPECT_EQ(rig.eg.currentLevel(), 0.0f);
    auto out = rig.run(256);
    EXPECT_TRUE(rig.eg.isConstant());
    EXPECT_EQ(out.back(), 0.0f);
}

TEST(EnvelopeGenerator, GateNotificationsComeAtMostEveryTenthOfASecond) {
    struct Recorder {
        void onGate(void* sender) {
            gates.push_back({*now, static_cast<EnvelopeGenerator*>(sender)->gate()});
        }
        const int* now;
        std::vector<std::pair<int, bool>> gates;
    };
    EgRig rig;
    int now = 0;
    Recorder recorder{&now, {}};
    recorder.gates.reserve(8);
    rig.eg.gateChanged().addHandler(&recorder, &Recorder::onGate);
    rig.shape(0.0f, 0.01f, 0.05f, 0.5f);
    // Gate on at 0, off at 1280, on at 1408 and off at 9600: the first change is reported at once;
    // the two soon after it together, in the first block that ends 0.1 s (4800 samples) after it;
    // the last one also waits for its 0.1 s.
    rig.run(12800, [&](int done) {
        now = done;
        if (done == 0 || done == 1408) rig.eg.noteOn();
        if (done == 1280 || done == 9600) rig.eg.noteOff();
    });
    std::vector<std::pair<int, bool>> expected{{0, true}, {4864, true}, {9728, false}};
    EXPECT_EQ(recorder.gates, expected);
}

TEST(EnvelopeGenerator, WithoutSharedTablesTheCurvesAreStraight) {
    wave::Environment env(128);
    env.setSampleRate(kRate);
    EnvelopeGenerator eg(env);
    eg.defaultInput(EnvelopeGenerator::Attack).value().jumpTo(0.1f);
    std::vector<float> out;
    runBlocks(env, eg, 4800, 128, out, [&](int done, int) {
        if (done == 0) eg.noteOn();
    });
    EXPECT_NEAR(out[2399], 0.5f, 1e-3f);
    EXPECT_NEAR(out[1199], 0.25f, 1e-3f);
}
