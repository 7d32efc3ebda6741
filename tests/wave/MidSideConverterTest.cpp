#include <gtest/gtest.h>

#include <cmath>

#include "GraphRun.h"
#include "TestSignalSource.h"
#include "wave/MidSideConverter.h"

// Encoding to mid/side and decoding back gives the pair again; a lone left signal encodes to equal
// mid and side halves.
TEST(MidSideConverter, EncodeThenDecodeRestoresThePair) {
    wave::Environment env(128);
    TestSignalSource left(env, [](long n) { return std::sin(0.01f * n); });
    TestSignalSource right(env, [](long n) { return 0.7f * std::cos(0.023f * n) - 0.1f; });
    MidSideConverter encoder(env);
    MidSideConverter decoder(env);
    encoder.mode = MidSideConverter::Encode;
    decoder.mode = MidSideConverter::Decode;
    encoder.setFirstInput(&left);
    encoder.setSecondInput(&right);
    decoder.setFirstInput(&encoder.output(0));
    decoder.setSecondInput(&encoder.output(1));
    GraphRun run = GraphRun::run(env, {&decoder.output(0), &decoder.output(1), &left, &right}, 1000, 100);
    EXPECT_TRUE(run.realTimeSafe());
    for (int i = 0; i < 1000; ++i) {
        ASSERT_NEAR(run.outputs[0][i], run.outputs[2][i], 1e-6f) << i;
        ASSERT_NEAR(run.outputs[1][i], run.outputs[3][i], 1e-6f) << i;
    }

    TestSignalSource one(env, [](long) { return 1.0f; });
    encoder.setFirstInput(&one);
    encoder.setSecondInput(nullptr);  // a missing input is silence
    GraphRun lone = GraphRun::run(
        env, {&encoder.output(0), &encoder.output(1), &decoder.output(0), &decoder.output(1)}, 4, 4);
    EXPECT_EQ(lone.outputs[0][0], 0.5f);
    EXPECT_EQ(lone.outputs[1][0], 0.5f);
    EXPECT_EQ(lone.outputs[2][0], 1.0f);
    EXPECT_EQ(lone.outputs[3][0], 0.0f);
}

// Pass-through copies nothing: the outputs are the inputs' own buffers.
TEST(MidSideConverter, PassThroughPublishesInputBuffers) {
    wave::Environment env(128);
    TestSignalSource left(env, [](long n) { return 0.001f * n; });
    TestSignalSource right(env, [](long n) { return -0.002f * n; });
    MidSideConverter converter(env);
    converter.setFirstInput(&left);
    converter.setSecondInput(&right);
    env.advanceCycle();
    converter.output(1).pull(128, 0);
    EXPECT_EQ(converter.output(0).currentOutput(), left.currentOutput());
    EXPECT_EQ(converter.output(1).currentOutput(), right.currentOutput());
    EXPECT_EQ(converter.output(0).cycleStamp(), env.cycleStamp());
}
