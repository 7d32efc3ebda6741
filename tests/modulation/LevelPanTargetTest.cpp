#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "MatrixTestPlugin.h"
#include "modulation/LevelPanTarget.h"

using namespace numbers;

namespace {

struct Voices {
    MatrixTestPlugin& p;
    LevelPanTarget target;
    LevelPanTarget::VoiceController voices{target};

    Voices(MatrixTestPlugin& plugin, int level, int pan, int mode)
        : p(plugin), target(plugin.environment(), plugin.matrix(), level, pan, mode) {}

    // Runs the samples and answers the two outputs of the last block.
    std::array<const float*, 2> run(int samples = 9600) {
        AudioThreadGuard guard;
        p.applyParameterChanges();
        std::array<const float*, 2> y{};
        for (int done = 0; done < samples; done += MatrixTestPlugin::kBlock) {
            p.environment().advanceCycle();
            for (int i = 0; i < 2; ++i)
                y[std::size_t(i)] = voices.output(i).pull(MatrixTestPlugin::kBlock, 0);
            p.environment().process(MatrixTestPlugin::kBlock, 0);
        }
        p.allocations += guard.allocations();
        p.locks += guard.locks();
        return y;
    }
};

}  // namespace

TEST(LevelPanTargetTest, UnmodulatedPairsFollowTheirModeFormulas) {
    struct Case {
        int level, pan, mode;
        float levelValue, panValue, first, second;
    };
    const Case cases[] = {
        {kDryLevel, kDryPan, LevelPanTarget::Balance, 0.8f, 0.5f, 0.4f, 0.8f},
        {kDryLevel, kDryPan, LevelPanTarget::Balance, 0.8f, -0.25f, 0.8f, 0.6f},
        {kFilter1Freq, kFilter1Pan, LevelPanTarget::SumAndDifference, 10.0f, 1.5f, 11.5f, 8.5f},
        {kFilter1Freq, kFilter1Pan, LevelPanTarget::SumAndDifference, 10.0f, -2.0f, 8.0f, 12.0f},
    };
    for (const Case& c : cases) {
        MatrixTestPlugin p;
        Voices v(p, c.level, c.pan, c.mode);
        p.matrix().setTargetBaseValue(c.level, c.levelValue);
        p.matrix().setTargetBaseValue(c.pan, c.panValue);
        auto y = v.run();
        EXPECT_NEAR(y[0][0], c.first, 1e-4f) << c.mode << " " << c.panValue;
        EXPECT_NEAR(y[1][0], c.second, 1e-4f) << c.mode << " " << c.panValue;
        EXPECT_TRUE(v.voices.output(0).isConstant());
        EXPECT_TRUE(p.realTimeSafe());
    }
}

TEST(LevelPanTargetTest, CentredPanPassesTheModulatedLevelThrough) {
    MatrixTestPlugin p;
    Voices v(p, kDryLevel, kDryPan, LevelPanTarget::Balance);
    p.matrix().setTargetBaseValue(kDryLevel, 0.5f);
    p.source(kXLFO1).setWave(0.0f, 0.5f, 0.01f);
    p.connect(0, kXLFO1, kDryLevel, 0.5f);
    auto y = v.run();
    const float* level = p.matrix().getTargetController(kDryLevel)->samples();
    EXPECT_EQ(y[0], level);
    EXPECT_EQ(y[1], level);
    EXPECT_FALSE(v.voices.output(0).isConstant());
    EXPECT_TRUE(p.realTimeSafe());
}

TEST(LevelPanTargetTest, ModulatedPanIsAppliedPerSample) {
    MatrixTestPlugin p;
    Voices v(p, kDryLevel, kDryPan, LevelPanTarget::Balance);
    p.matrix().setTargetBaseValue(kDryLevel, 0.9f);
    p.source(kXLFO1).setWave(0.0f, 1.0f, 0.05f);
    p.connect(0, kXLFO1, kDryPan, 1.0f);  // depth 2: the pan swings across its whole range and clips
    auto y = v.run();
    const float* level = p.matrix().getTargetController(kDryLevel)->samples();
    const float* pan = p.matrix().getTargetController(kDryPan)->samples();
    bool bothSides = false;
    for (int i = 0; i < MatrixTestPlugin::kBlock; ++i) {
        float expectedPan =
            std::clamp(2.0f * p.source(kXLFO1).at(9600 - MatrixTestPlugin::kBlock + i), -1.0f, 1.0f);
        ASSERT_NEAR(pan[i], expectedPan, 1e-5f);
        EXPECT_NEAR(y[0][i], level[i] * (1.0f - std::max(pan[i], 0.0f)), 1e-6f);
        EXPECT_NEAR(y[1][i], level[i] * (1.0f + std::min(pan[i], 0.0f)), 1e-6f);
        bothSides = bothSides || y[0][i] < 0.5f;
    }
    EXPECT_TRUE(bothSides);
    EXPECT_TRUE(p.realTimeSafe());
}
