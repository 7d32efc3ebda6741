#include "wave/filters/FilterAnalyzer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "AudioThreadGuard.h"
#include "FilterTestSupport.h"

namespace {
constexpr int kBlock = 64;

float settle(FilterAnalyzer& gate, filtertest::BlockSource& level, float value, int blocks) {
    level.fill(value);
    const float* out = nullptr;
    for (int b = 0; b < blocks; ++b) {
        gate.environment().advanceCycle();
        AudioThreadGuard guard;
        out = gate.pull(kBlock, 0);
        filtertest::expectRealTimeSafe(guard);
        gate.environment().process(kBlock, 0);
    }
    return out[kBlock - 1];
}
}  // namespace

TEST(FilterAnalyzer, GateFollowsTheLevelAgainstTheThreshold) {
    wave::Environment env(kBlock);
    env.setSampleRate(48000.0f);
    filtertest::BlockSource level(env);
    FilterAnalyzer gate(env);
    gate.setInput(&level);

    EXPECT_NEAR(settle(gate, level, 0.0025f, 200), 0.5f, 1e-3);
    EXPECT_FLOAT_EQ(settle(gate, level, 0.0051f, 200), 1.0f);  // a level reaching the threshold
    EXPECT_FLOAT_EQ(settle(gate, level, 0.3f, 50), 1.0f);

    // After silence the level decays with the 20 ms time constant: from 0.3 it takes
    // ln(0.3 / 0.005) * 20 ms, about 82 ms, to fall below the threshold.
    level.fill(0.0f);
    int samples = 0;
    while (true) {
        env.advanceCycle();
        AudioThreadGuard guard;
        const float* out = gate.pull(kBlock, 0);
        filtertest::expectRealTimeSafe(guard);
        env.process(kBlock, 0);
        int i = 0;
        while (i < kBlock && out[i] >= 1.0f) ++i;
        samples += i;
        if (i < kBlock) break;
    }
    EXPECT_NEAR(samples / 48.0, 20.0 * std::log(0.3 / 0.005), 1.0);

    // A new threshold takes effect with its inverse.
    gate.threshold.set(0.01f);
    EXPECT_NEAR(settle(gate, level, 0.0025f, 200), 0.25f, 1e-3);
    gate.reset();
    EXPECT_EQ(gate.level(), 0.0f);
}
