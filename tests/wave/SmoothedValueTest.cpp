#include <gtest/gtest.h>

#include <cmath>

#include "AudioThreadGuard.h"
#include "wave/FloatParameterSource.h"
#include "wave/SmoothedValue.h"

namespace {

// Runs the value block by block as the frame would; answers the samples until it settles.
int samplesUntilSettled(wave::Environment& env, SmoothedValue& v, int limit = 48000) {
    int n = 0;
    while (n < limit) {
        v.advance();
        if (!v.isRamping()) return n;
        bool constant;
        v.render(32, constant);
        env.process(32, 0);
        n += 32;
    }
    return n;
}

}  // namespace

TEST(SmoothedValue, AutomaticRampTimeFollowsTheJumpSize) {
    struct Case {
        float from, to;
        float expectedMs;
    };
    // Span 0..1: 30 % or more takes the fast time; a tiny change the slow time; in between a
    // quadratic blend.
    for (Case c : {Case{0.0f, 0.3f, 20.0f}, Case{0.0f, 1.0f, 20.0f}, Case{0.0f, 0.001f, 149.13f},
                   Case{0.0f, 0.15f, 52.5f}}) {
        wave::Environment env(128);
        env.setSampleRate(48000.0f);
        SmoothedValue v(env, c.from);
        env.process(32, 0);  // leave the start position, where every value counts as just reset
        v.rampTo(c.to);
        EXPECT_NEAR(v.rampLength(), c.expectedMs * 48.0f, 1.0f) << c.to;
    }
}

TEST(SmoothedValue, RampsLinearlyAndEndsOnTarget) {
    wave::Environment env(128);
    env.setSampleRate(48000.0f);
    SmoothedValue v(env, 0.0f);
    env.process(32, 0);
    v.rampTo(1.0f, 20.0f);
    EXPECT_EQ(v.rampLength(), 960);
    AudioThreadGuard guard;
    v.advance();
    bool constant;
    const float* s = v.render(32, constant);
    EXPECT_FALSE(constant);
    EXPECT_FLOAT_EQ(s[0], 0.0f);
    EXPECT_NEAR(s[31], 31.0f / 960.0f, 1e-6);
    EXPECT_EQ(guard.allocations(), 0);
    env.process(32, 0);
    EXPECT_EQ(samplesUntilSettled(env, v) + 32, 960);
    s = v.render(32, constant);
    EXPECT_TRUE(constant);
    EXPECT_EQ(s[0], 1.0f);
    EXPECT_EQ(s[31], 1.0f);
}

TEST(SmoothedValue, TinyRetargetKeepsTheCourse) {
    wave::Environment env(128);
    SmoothedValue v(env, 0.0f);
    env.process(32, 0);
    v.rampTo(1.0f, 100.0f);
    int length = v.rampLength();
    env.process(32, 0);
    v.rampTo(1.0f + 1e-8f, 5.0f);
    v.advance();
    EXPECT_EQ(v.rampLength(), length);
    EXPECT_TRUE(v.isRamping());
}

TEST(SmoothedValue, CyclicValueTakesTheShorterWayRound) {
    wave::Environment env(128);
    SmoothedValue v(env, 0.0f);
    v.setRange(-100.0f, 100.0f);
    v.period = 1.0f;
    v.jumpTo(0.9f);
    env.process(32, 0);
    v.rampTo(0.1f, 10.0f);
    v.advance();
    bool constant;
    const float* s = v.render(4, constant);
    EXPECT_NEAR(s[0], -0.1f, 1e-6);
    EXPECT_GT(s[3], s[0]);  // rising towards 0.1, not falling from 0.9
    EXPECT_FLOAT_EQ(v.target(), 0.1f);
}

TEST(SmoothedValue, JumpsWhenTheRampWouldBeShorterThanASample) {
    wave::Environment env(128);
    env.setSampleRate(40.0f);  // 20 ms is 0.8 samples
    SmoothedValue v(env, 0.0f);
    env.process(32, 0);
    v.rampTo(1.0f);
    EXPECT_FALSE(v.isRamping());
    EXPECT_EQ(v.current(), 1.0f);
}

TEST(SmoothedValue, NarrowingTheRangeClampsAndJumps) {
    wave::Environment env(128);
    SmoothedValue v(env, 0.0f);
    env.process(32, 0);
    v.rampTo(0.8f, 100.0f);
    v.setRange(0.0f, 0.5f);
    EXPECT_FALSE(v.isRamping());
    EXPECT_FLOAT_EQ(v.target(), 0.5f);
    EXPECT_FLOAT_EQ(v.span(), 0.5f);
}

TEST(SmoothedValue, ResetSettlesTheRampAtItsTarget) {
    wave::Environment env(128);
    FloatParameterSource source(env, 0.0f);
    env.process(32, 0);
    source.rampTo(1.0f, 100.0f);
    env.advanceCycle();
    source.pull(32, 0);
    EXPECT_FALSE(source.isConstant());
    env.process(32, 0);
    env.reset();
    env.advanceCycle();
    const float* s = source.pull(32, 0);
    EXPECT_TRUE(source.isConstant());
    EXPECT_EQ(s[0], 1.0f);
}

TEST(SmoothedValue, SkippedBlocksStillAdvanceTheRamp) {
    wave::Environment env(128);
    env.setSampleRate(48000.0f);
    FloatParameterSource source(env, 0.0f, false);
    source.addToClosingPass(wave::Producer::AfterFront);
    env.process(32, 0);
    source.rampTo(1.0f, 2.0f);  // 96 samples
    for (int i = 0; i < 3; ++i) {
        env.advanceCycle();
        env.process(32, 0);  // never pulled: the closing pass keeps it running
    }
    env.advanceCycle();
    const float* s = source.pull(32, 0);
    EXPECT_TRUE(source.isConstant());
    EXPECT_EQ(s[0], 1.0f);
    EXPECT_EQ(source.currentOutput(), &source.value().renderBuffer());
}
