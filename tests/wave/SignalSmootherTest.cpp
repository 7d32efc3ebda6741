#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "GraphRun.h"
#include "TestSignalSource.h"
#include "wave/SignalSmoother.h"

// Rectifying a full-scale 1 kHz sine gives its mean level, 2 / pi, reached without overshoot.
TEST(SignalSmoother, RectifiedSineSettlesAtMeanLevel) {
    wave::Environment env(128);
    env.setSampleRate(48000.0f);
    const double omega = 2.0 * std::numbers::pi * 1000.0 / 48000.0;
    TestSignalSource sine(env, [omega](long n) { return static_cast<float>(std::sin(omega * n)); });
    SignalSmoother smoother(env);
    smoother.setInput(&sine);
    smoother.mode = SignalSmoother::Rectify;
    GraphRun run = GraphRun::run(env, {&smoother}, 96000, 128);
    EXPECT_TRUE(run.realTimeSafe());
    const std::vector<float>& out = run.outputs[0];
    const float mean = 2.0f / std::numbers::pi_v<float>;
    EXPECT_NEAR(out.back(), mean, 0.002f);
    EXPECT_LE(*std::max_element(out.begin(), out.end()), mean * 1.002f);
}

// The step response is that of a critically damped pair of poles at the corner frequency: half way
// after 1.678 / (2 pi fc), never above the step. This holds after sample-rate changes and corner
// changes, and a reset starts it again from rest.
TEST(SignalSmoother, StepResponseFollowsCornerAndSampleRate) {
    struct Case {
        float rate;
        float corner;
    };
    for (Case c : {Case{44100.0f, 5.0f}, Case{48000.0f, 5.0f}, Case{96000.0f, 5.0f}, Case{48000.0f, 20.0f}}) {
        SCOPED_TRACE(::testing::Message() << c.rate << " Hz, corner " << c.corner);
        wave::Environment env(64);
        TestSignalSource step(env, [](long) { return 1.0f; });
        SignalSmoother smoother(env);
        smoother.addToResetList();
        smoother.setInput(&step);
        env.setSampleRate(c.rate);
        smoother.frequency = c.corner;
        const double halfWay = 1.678347 / (2.0 * std::numbers::pi * c.corner);
        long n = static_cast<long>(c.rate * halfWay * 8.0);
        for (int pass = 0; pass < 2; ++pass) {
            GraphRun run = GraphRun::run(env, {&smoother}, n, 64);
            EXPECT_TRUE(run.realTimeSafe());
            const std::vector<float>& out = run.outputs[0];
            long crossing =
                std::find_if(out.begin(), out.end(), [](float y) { return y >= 0.5f; }) - out.begin();
            EXPECT_NEAR(crossing / c.rate, halfWay, halfWay * 0.01);
            EXPECT_LE(*std::max_element(out.begin(), out.end()), 1.0f);
            EXPECT_GT(out.back(), 0.99f);
            env.reset();
        }
    }
}
