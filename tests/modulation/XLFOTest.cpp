#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

#include "ModulationRig.h"
#include "modulation/XLFO.h"

namespace {

constexpr float kRate = 48000.0f;

struct XlfoRig {
    wave::Environment env{128};
    XLFO xlfo{env};

    XlfoRig(int steps, float balance, float hz) {
        env.setSampleRate(kRate);
        xlfo.stepCount = steps;
        xlfo.balance = balance;
        xlfo.defaultFrequency().value().jumpTo(hz);
        // Distinct values: step k holds -1 + k * 0.1.
        for (int k = 0; k < XLFO::kMaxSteps; ++k) xlfo.step(k).value = -1.0f + 0.1f * k;
    }
};

// Lengths of the runs between value changes, in samples (the first run starts at sample 0).
std::vector<int> runLengths(const std::vector<float>& s) {
    std::vector<int> lengths;
    int last = 0;
    for (int p : changePositions(s, 1e-4f)) {
        lengths.push_back(p - last);
        last = p;
    }
    return lengths;
}

}  // namespace

TEST(XLFO, StepsLastTheirShareOfTheCycleOnEitherSideOfTheBalance) {
    struct Case {
        int steps;
        float balance;
        float hz;
        float firstHalfMs, secondHalfMs;
    };
    for (Case c : {Case{16, 0.5f, 1.0f, 62.5f, 62.5f}, Case{16, 0.25f, 1.0f, 31.25f, 93.75f},
                   Case{4, 0.75f, 2.0f, 187.5f, 62.5f}, Case{8, 0.5f, 10.0f, 12.5f, 12.5f}}) {
        XlfoRig rig(c.steps, c.balance, c.hz);
        auto out = runBlocks(rig.env, rig.xlfo, static_cast<int>(kRate / c.hz) * 2 + 10);
        auto lengths = runLengths(out);
        ASSERT_GE(lengths.size(), static_cast<size_t>(2 * c.steps));
        for (int k = 1; k < 2 * c.steps; ++k) {  // skip the first run, which starts at phase 0
            float expected = (k % c.steps) < c.steps / 2 ? c.firstHalfMs : c.secondHalfMs;
            EXPECT_NEAR(lengths[k], expected * kRate / 1000.0f, 1.0f) << "run " << k;
        }
        EXPECT_EQ(out[0], -1.0f);
    }
}

TEST(XLFO, PhaseOffsetShiftsWhereTheCycleIsRead) {
    XlfoRig plain(4, 0.5f, 1.0f);
    XlfoRig shifted(4, 0.5f, 1.0f);
    shifted.xlfo.defaultPhaseOffset().value().jumpTo(0.25f);
    auto a = runBlocks(plain.env, plain.xlfo, 48000);
    auto b = runBlocks(shifted.env, shifted.xlfo, 48000);
    // A quarter of the cycle (one step) ahead: from the sample after the offset arrived, the shifted
    // output reads step 1 and changes where the plain one does, one step value further on.
    EXPECT_FLOAT_EQ(b[0], -1.0f);
    EXPECT_FLOAT_EQ(b[1], -0.9f);
    std::vector<int> expected{1};
    for (int p : changePositions(a)) expected.push_back(p);
    EXPECT_EQ(changePositions(b), expected);
    EXPECT_FLOAT_EQ(b[12000 + 5], a[24000 + 5]);
    // An offset of 1.25 reads the same as 0.25: the offset is circular.
    XlfoRig wrapped(4, 0.5f, 1.0f);
    wrapped.xlfo.defaultPhaseOffset().value().jumpTo(1.25f);
    EXPECT_EQ(runBlocks(wrapped.env, wrapped.xlfo, 48000), b);
}

TEST(XLFO, ZeroFrequencyScansTheCycleByThePhaseOffsetAlone) {
    XlfoRig rig(4, 0.5f, 0.0f);
    ScriptedSource offset(rig.env, [](long n) { return static_cast<float>(n) / 4800.0f; });  // 10 cycles/s
    rig.xlfo.setPhaseOffsetInput(&offset);
    auto out = runBlocks(rig.env, rig.xlfo, 9600);
    auto lengths = runLengths(out);
    ASSERT_EQ(lengths.size(), 7u);
    for (size_t k = 1; k < lengths.size(); ++k) EXPECT_NEAR(lengths[k], 1200, 1) << k;
    EXPECT_NEAR(rig.xlfo.accumulatedPhase(), 0.0, 1e-12);
}

TEST(XLFO, GlideHoldsThenReachesTheNextValueAtTheStepsEnd) {
    XlfoRig rig(4, 0.5f, 1.0f);
    rig.xlfo.step(0).value = -1.0f;
    rig.xlfo.step(1).value = 1.0f;
    rig.xlfo.step(0).glide = 0.5f;
    auto out = runBlocks(rig.env, rig.xlfo, 24000);
    for (int i = 0; i < 6000; ++i) ASSERT_EQ(out[i], -1.0f) << i;
    EXPECT_NEAR(out[9000], 0.0f, 1e-3f);  // linear: halfway through the glide
    EXPECT_NEAR(out[11999], 1.0f, 2e-3f);
    EXPECT_EQ(out[12000], 1.0f);

    // A square curve rises slowly first; the glide offset input lengthens the glide.
    XlfoRig curved(4, 0.5f, 1.0f);
    curved.xlfo.step(0).value = -1.0f;
    curved.xlfo.step(1).value = 1.0f;
    curved.xlfo.step(0).glide = 0.25f;
    curved.xlfo.step(0).curve = XLFO::Sqr;
    curved.xlfo.defaultGlideOffset().value().jumpTo(0.25f);
    auto sq = runBlocks(curved.env, curved.xlfo, 12000);
    EXPECT_EQ(sq[5999], -1.0f);
    EXPECT_NEAR(sq[9000], -1.0f + 2.0f * 0.25f, 1e-3f);
}

TEST(XLFO, MiddleStepOfAnOddCountStraddlesTheBalancePoint) {
    // Three steps, balance 0.25: step 1 spans 1/6 .. 1/2 and reads t = 0.5 exactly at the balance.
    XlfoRig rig(3, 0.25f, 1.0f);
    EXPECT_NEAR(rig.xlfo.step(1).startPhase(), 1.0 / 6.0, 1e-12);
    EXPECT_NEAR(rig.xlfo.step(1).endPhase(), 0.5, 1e-12);
    EXPECT_TRUE(rig.xlfo.step(1).isMiddle());
    rig.xlfo.step(1).value = 0.0f;
    rig.xlfo.step(2).value = 1.0f;
    rig.xlfo.step(1).glide = 1.0f;
    auto out = runBlocks(rig.env, rig.xlfo, 24000);
    EXPECT_NEAR(out[8000], 0.0f, 1e-3f);    // phase 1/6: start of the step
    EXPECT_NEAR(out[12000], 0.5f, 1e-3f);   // phase 1/4: the balance point, halfway
    EXPECT_NEAR(out[10000], 0.25f, 1e-3f);  // first half is compressed into 1/6 .. 1/4
    EXPECT_NEAR(out[18000], 0.75f, 1e-3f);  // second half stretched over 1/4 .. 1/2
    EXPECT_NEAR(out[23999], 1.0f, 1e-3f);
}

TEST(XLFO, SingleFixedStepStaysAtItsValue) {
    XlfoRig rig(1, 0.5f, 3.0f);
    rig.xlfo.step(0).value = 0.4f;
    rig.xlfo.step(0).glide = 1.0f;
    for (float v : runBlocks(rig.env, rig.xlfo, 48000)) ASSERT_FLOAT_EQ(v, 0.4f);
}

TEST(XLFO, SnapPicksTheNearestOfTwentyFiveLevels) {
    struct Case {
        float in, out;
    };
    for (Case c : {Case{0.03f, 0.0f}, Case{0.05f, 1.0f / 12.0f}, Case{-1.0f, -1.0f}, Case{1.0f, 1.0f},
                   Case{0.99f, 1.0f}, Case{-0.96f, -1.0f}, Case{-0.95f, -11.0f / 12.0f}})
        EXPECT_NEAR(XLFO::snapValue(c.in), c.out, 1e-6f) << c.in;

    XlfoRig rig(2, 0.5f, 1.0f);
    rig.xlfo.step(0).value = 0.05f;
    onAudioThread([&] { rig.xlfo.snap = true; });
    EXPECT_TRUE(rig.xlfo.step(15).snap.get());
    auto out = runBlocks(rig.env, rig.xlfo, 128);
    EXPECT_NEAR(out[0], 1.0f / 12.0f, 1e-6f);
}

TEST(XLFO, RandomStepsRepeatFromASeedAndKeepTheirDistance) {
    auto randomRun = [](std::uint32_t seed, int steps) {
        XlfoRig rig(steps, 0.5f, 50.0f);
        for (int k = 0; k < steps; ++k) rig.xlfo.step(k).random = true;
        rig.xlfo.setRandomSeed(seed);
        return runBlocks(rig.env, rig.xlfo, 48000);
    };
    EXPECT_EQ(randomRun(12345, 4), randomRun(12345, 4));
    EXPECT_NE(randomRun(12345, 4), randomRun(54321, 4));

    for (int steps : {1, 4}) {
        // Each pass of a step draws a new value, never within 0.2 of the value before it.
        auto out = randomRun(777, steps);
        std::vector<float> values{out[0]};
        for (int p : changePositions(out)) values.push_back(out[p]);
        ASSERT_GT(values.size(), 40u) << steps;
        std::set<float> distinct(values.begin(), values.end());
        EXPECT_GT(distinct.size(), values.size() / 2);
        for (size_t i = 1; i < values.size(); ++i) {
            EXPECT_GE(std::abs(values[i] - values[i - 1]), 0.2f - 1e-6f) << i;
            EXPECT_LE(std::abs(values[i]), 1.0f);
        }
    }
}

TEST(XLFO, EveryInstanceDrawsItsOwnSeedWhateverThreadCreatesIt) {
    // The process-wide rand state (which a host may reset) plays no part.
    std::srand(7);
    XlfoRig first(1, 0.5f, 1.0f);
    std::srand(7);
    XlfoRig second(1, 0.5f, 1.0f);
    EXPECT_NE(first.xlfo.randomState(), second.xlfo.randomState());

    // Hosts create instances on several threads at once.
    std::vector<std::uint32_t> seeds(64);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&seeds, t] {
            for (int i = t; i < 64; i += 4) {
                wave::Environment env(128);
                XLFO xlfo(env);
                seeds[std::size_t(i)] = xlfo.randomState();
            }
        });
    for (auto& t : threads) t.join();
    std::set<std::uint32_t> distinct(seeds.begin(), seeds.end());
    EXPECT_GE(distinct.size(), 63u);
    EXPECT_EQ(distinct.count(0u), 0u);
}

TEST(XLFO, SeedsOutsideTheRegisterNeverLeaveItStuckAtZero) {
    // The construction seed is a 24-bit random number + 1, which can be 2^24: one bit too wide.
    for (std::uint32_t seed : {0x1000000u, 0u, 0xFFFFFFFFu, 0x2000000u}) {
        XlfoRig rig(2, 0.5f, 100.0f);
        rig.xlfo.step(0).random = true;
        rig.xlfo.step(1).random = true;
        rig.xlfo.setRandomSeed(seed);
        EXPECT_NE(rig.xlfo.randomState(), 0u);
        EXPECT_LE(rig.xlfo.randomState(), 0xFFFFFFu);
        auto out = runBlocks(rig.env, rig.xlfo, 48000);
        std::set<float> distinct(out.begin(), out.end());
        EXPECT_GT(distinct.size(), 50u) << std::hex << seed;
        EXPECT_NE(rig.xlfo.randomState(), 0u);
    }
}

TEST(XLFO, BalanceChangeKeepsThePhaseInItsHalf) {
    XlfoRig rig(4, 0.5f, 1.0f);
    runBlocks(rig.env, rig.xlfo, 12000);  // phase 0.25: halfway through the first half
    EXPECT_NEAR(rig.xlfo.phase(), 0.25, 1e-9);
    onAudioThread([&] { rig.xlfo.balance = 0.25f; });
    EXPECT_NEAR(rig.xlfo.phase(), 0.125, 1e-9);
    runBlocks(rig.env, rig.xlfo, 24000);  // phase 0.625: in the second half
    onAudioThread([&] { rig.xlfo.balance = 0.75f; });
    EXPECT_NEAR(rig.xlfo.phase(), 0.75 + (0.625 - 0.25) / 0.75 * 0.25, 1e-6);
    EXPECT_NEAR(rig.xlfo.step(2).startPhase(), 0.75, 1e-12);
}

TEST(XLFO, RetriggerRestartsAtThePhaseOffset) {
    XlfoRig rig(4, 0.5f, 1.0f);
    rig.xlfo.defaultPhaseOffset().value().jumpTo(0.5f);
    runBlocks(rig.env, rig.xlfo, 10000);
    onAudioThread([&] { rig.xlfo.noteOn(); });  // MIDI Trigger off: the cycle runs on
    EXPECT_NEAR(rig.xlfo.phase(), std::fmod(0.5 + 10000.0 / kRate, 1.0), 1e-6);
    rig.xlfo.midiTrigger = true;
    onAudioThread([&] { rig.xlfo.noteOn(); });
    EXPECT_NEAR(rig.xlfo.phase(), 0.5, 1e-9);
    EXPECT_EQ(rig.xlfo.accumulatedPhase(), 0.0);
    auto out = runBlocks(rig.env, rig.xlfo, 128);
    EXPECT_FLOAT_EQ(out[0], -0.8f);  // step 2, where phase 0.5 falls
}

TEST(XLFO, ARestartBeforeAnySongPositionCountsFromMinusOneQuarter) {
    XlfoRig rig(4, 0.5f, 0.0f);
    rig.xlfo.midiTrigger = true;
    onAudioThread([&] { rig.xlfo.noteOn(); });
    // The first report, at the song's start: one quarter note after the reference, a quarter of a
    // one-bar cycle.
    onAudioThread([&] { rig.xlfo.sync(120.0f, 0.0f, 1.0f); });
    EXPECT_NEAR(rig.xlfo.accumulatedPhase(), 0.25, 1e-9);
    EXPECT_NEAR(rig.xlfo.phase(), 0.25, 1e-9);
}

TEST(XLFO, CycleEventsMarkTheSecondHalfButNotWhenTooFast) {
    struct Counter {
        void onCycle(void*) { ++count; }
        int count = 0;
    };
    for (float hz : {2.0f, 40.0f}) {
        XlfoRig rig(4, 0.5f, hz);
        Counter counter;
        rig.xlfo.cycleEvent().addHandler(&counter, &Counter::onCycle);
        runBlocks(rig.env, rig.xlfo, 48000);
        // At 2 Hz each half lasts 0.25 s: on and off every cycle. At 40 Hz a half lasts 12.5 ms,
        // shorter than the 62.5 ms the light needs, so it stays dark.
        EXPECT_EQ(counter.count, hz < 10.0f ? 4 : 0) << hz;
        EXPECT_EQ(rig.xlfo.activityMark(), 4 * hz / 2 > 10 ? 2 : 0);
    }
}

TEST(XLFO, KeepsRunningInTheClosingPassWhenNotPulled) {
    XlfoRig rig(4, 0.5f, 1.0f);
    std::vector<float> unused;
    runBlocks(
        rig.env, rig.xlfo, 12000, 128, unused, [](int, int) {}, /*pull=*/false);
    EXPECT_NEAR(rig.xlfo.phase(), 0.25, 1e-9);
    EXPECT_FLOAT_EQ(rig.xlfo.maximumStepValue(), -0.7f);
}

TEST(XLFO, StepCountChangeRebuildsTheStepsAtOnce) {
    XlfoRig rig(4, 0.5f, 1.0f);
    std::vector<float> out;
    runBlocks(rig.env, rig.xlfo, 6016, 128, out, [](int, int) {});
    onAudioThread([&] { rig.xlfo.stepCount = 2; });
    runBlocks(rig.env, rig.xlfo, 48000 - 6016, 128, out, [](int, int) {});
    // Two steps of half a cycle each: the first change comes at phase 0.5, not 0.25.
    EXPECT_EQ(changePositions(out, 1e-4f), std::vector<int>{24000});
    EXPECT_FLOAT_EQ(out[30000], -0.9f);
    // The count stays within the 16 steps there are.
    rig.xlfo.stepCount = 40;
    EXPECT_EQ(rig.xlfo.stepCount.get(), XLFO::kMaxSteps);
    rig.xlfo.stepCount = 0;
    EXPECT_EQ(rig.xlfo.stepCount.get(), 1);
}
