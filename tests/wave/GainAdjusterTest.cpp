#include <gtest/gtest.h>

#include "GraphRun.h"
#include "TestSignalSource.h"
#include "wave/GainAdjuster.h"

// The output is gain * input * factor, the factor being reference / level limited to 0.1 .. 1.
TEST(GainAdjuster, LimitsByReferenceOverLevel) {
    struct Case {
        float level;
        float reference;
        float factor;
    };
    const Case cases[] = {
        {3.0f, 0.3f, 0.1f},                       // 10 times louder: -20 dB
        {30.0f, 0.3f, 0.1f},                      // 100 times louder: still -20 dB
        {0.6f, 0.3f, 0.5f},  {0.2f, 0.3f, 1.0f},  // quieter than the reference: never amplified
        {0.0f, 0.3f, 1.0f},                       // no level at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "level " << c.level << ", reference " << c.reference);
        wave::Environment env(128);
        TestSignalSource input(env, [](long n) { return n % 2 ? 0.5f : -0.25f; });
        TestSignalSource level(env, [&c](long) { return c.level; });
        TestSignalSource reference(env, [&c](long) { return c.reference; });
        GainAdjuster adjuster(env);
        adjuster.setInput(&input);
        adjuster.setLevelSource(&level);
        adjuster.setReferenceSource(&reference);
        adjuster.gain().jumpTo(-0.8f);
        GraphRun run = GraphRun::run(env, {&adjuster}, 256, 128);
        EXPECT_TRUE(run.realTimeSafe());
        for (long i = 0; i < 256; ++i)
            ASSERT_FLOAT_EQ(run.outputs[0][i], -0.8f * (i % 2 ? 0.5f : -0.25f) * c.factor) << i;
    }
}

// The gain follows its ramp; without both envelopes connected the input passes untouched.
TEST(GainAdjuster, RampsGainAndPassesInputWithoutEnvelopes) {
    wave::Environment env(128);
    env.setSampleRate(48000.0f);
    TestSignalSource input(env, [](long) { return 0.5f; });
    TestSignalSource level(env, [](long) { return 1.0f; });
    GainAdjuster adjuster(env);
    adjuster.setInput(&input);
    adjuster.setLevelSource(&level);
    adjuster.setReferenceSource(&level);
    GraphRun::run(env, {&adjuster}, 128, 128);  // a ramp set at the reset position would finish at once
    adjuster.gain().rampTo(-1.0f, 10.0f);       // 480 samples
    GraphRun run = GraphRun::run(env, {&adjuster}, 1024, 128);
    EXPECT_TRUE(run.realTimeSafe());
    EXPECT_FLOAT_EQ(run.outputs[0][0], 0.5f);
    EXPECT_NEAR(run.outputs[0][240], 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(run.outputs[0][600], -0.5f);

    for (int connected : {0, 1, 2}) {
        adjuster.setLevelSource(connected == 1 ? &level : nullptr);
        adjuster.setReferenceSource(connected == 2 ? &level : nullptr);
        GraphRun plain = GraphRun::run(env, {&adjuster}, 256, 128);
        for (float y : plain.outputs[0]) ASSERT_EQ(y, 0.5f) << connected;
    }
}
