#include "wave/filters/GenericFilter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "AudioThreadGuard.h"
#include "FilterTestSupport.h"
#include "wave/filters/BiQuadFilter.h"

namespace {
constexpr int kBlock = 32;

struct Node {
    Node() : env(kBlock), input(env), filter(env), biquad(env) {
        env.setSampleRate(48000.0f);
        filter.setInput(&input);
        filter.setUnit(&biquad);
        filter.frequencySource().rampTo(std::log2(200.0f), 0.0f);  // a low-pass well below the input
        for (int i = 0; i < kBlock; ++i) input.block[i] = (i % 2) ? 0.5f : -0.5f;
        input.constant = false;
    }
    const float* run() {
        env.advanceCycle();
        AudioThreadGuard guard;
        const float* out = filter.pull(kBlock, 0);
        filtertest::expectRealTimeSafe(guard);
        env.process(kBlock, 0);
        return out;
    }
    wave::Environment env;
    filtertest::BlockSource input;
    GenericFilter filter;
    BiQuadFilter biquad;
};

double energy(const float* x, int n) {
    double e = 0;
    for (int i = 0; i < n; ++i) e += double(x[i]) * x[i];
    return e;
}
}  // namespace

TEST(GenericFilter, WetAmountFadesTheFilteredSignalOutThenBypasses) {
    Node node;
    for (int b = 0; b < 50; ++b) node.run();
    double filtered = energy(node.run(), kBlock);
    EXPECT_LT(filtered, 1e-3 * energy(node.input.block.data(), kBlock));

    // Ramp the wet amount to 0 over 10 ms: the output moves towards the input.
    node.filter.wetSource().rampTo(0.0f, 10.0f);
    double previous = filtered;
    int blocks = 0;
    while (node.filter.wetSource().value().isRamping() || blocks == 0) {
        const float* out = node.run();
        double e = energy(out, kBlock);
        EXPECT_GE(e, previous * 0.99);
        previous = e;
        ++blocks;
    }
    EXPECT_GT(blocks, 10);
    // Once the ramp stands at 0 the filter stops processing and publishes its input block.
    node.run();
    EXPECT_EQ(node.filter.currentOutput(), node.input.currentOutput());
    EXPECT_FALSE(node.filter.lastLane().active);

    // Half wet: exactly halfway between input and filtered output.
    Node half;
    Node full;
    half.filter.wetSource().rampTo(0.5f, 0.0f);
    for (int b = 0; b < 3; ++b) {
        const float* h = half.run();
        const float* f = full.run();
        for (int i = 0; i < kBlock; ++i) EXPECT_NEAR(h[i], 0.5f * (f[i] + half.input.block[i]), 1e-6);
    }
}

TEST(GenericFilter, PeakMultiplierScalesThePeakOnlyWhenSwitchedOn) {
    Node node;
    filtertest::BlockSource multiplier(node.env, 0.5f);
    node.filter.setPeakMultiplier(&multiplier);
    node.filter.peakSource().rampTo(0.8f, 0.0f);
    node.run();
    EXPECT_FLOAT_EQ(node.biquad.section(0).peak, 0.8f);
    EXPECT_EQ(node.filter.lastLane().peakMultiplier, nullptr);
    node.filter.peakMultiplierEnabled.set(true);
    node.run();
    EXPECT_FLOAT_EQ(node.biquad.section(0).peak, 0.4f);
}

TEST(GenericFilter, ResetClearsTheUnitState) {
    Node node;
    node.run();
    EXPECT_NE(node.biquad.section(0).y1, 0.0f);
    node.env.reset();
    EXPECT_EQ(node.biquad.section(0).y1, 0.0f);
}
