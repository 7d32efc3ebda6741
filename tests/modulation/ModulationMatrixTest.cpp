#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "MatrixTestPlugin.h"

using namespace numbers;

namespace {

float baseDelay(MatrixTestPlugin& p) {
    return p.delayTime->engineValue(p.delayTime->value());
}

}  // namespace

TEST(ModulationMatrixTest, TargetWithoutActiveSlotsPublishesItsBaseRampByPointer) {
    MatrixTestPlugin p;
    const float* y = p.run(kDelay1Time);
    EXPECT_EQ(y, p.baseBuffer(kDelay1Time));
    EXPECT_TRUE(p.lastConstant);
    EXPECT_NEAR(y[0], baseDelay(p), 1e-3f);

    // While the base ramps, the block is still the ramp's own buffer, now not constant.
    p.delayTime->setValue(0.9f, 0);
    y = p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    EXPECT_EQ(y, p.baseBuffer(kDelay1Time));
    EXPECT_FALSE(p.lastConstant);

    // A slot that exists but is bypassed does not count either.
    p.connect(0, kXLFO1, kDelay1Time);
    p.slot(0).bypass.setValue(1.0f, 0);
    y = p.run(kDelay1Time);
    EXPECT_EQ(y, p.baseBuffer(kDelay1Time));
    EXPECT_TRUE(p.realTimeSafe());
}

// With a slot level of engine value 1, each source type moves a delay time by its own depth, and
// the sum never leaves the target's limits.
TEST(ModulationMatrixTest, SourceTypesSetTheDepthAndTheResultIsClamped) {
    struct Case {
        int source;
        float value;
        float offset;  // ms added at engine level 1
    };
    const Case cases[] = {
        {kXLFO1, 1.0f, 500.0f}, {kXLFO1, -1.0f, -500.0f}, {kEF1, 1.0f, 2000.0f},
        {kEG1, 0.5f, 500.0f},   {kXY1Hor, 1.0f, 4995.0f}, {kMidi1, 0.2f, 999.0f},
    };
    for (const Case& c : cases) {
        MatrixTestPlugin p;
        p.source(c.source).setConstant(c.value);
        p.connect(0, c.source, kDelay1Time, 1.0f);
        float y = p.settled(kDelay1Time);
        float expected = std::clamp(baseDelay(p) + c.offset, 5.0f, 5000.0f);
        EXPECT_NEAR(y, expected, 0.05f) << "source " << c.source << " at " << c.value;
        EXPECT_TRUE(p.matrix().isSlotActive(0));
        EXPECT_TRUE(p.lastConstant) << "constant inputs give a constant block";
        EXPECT_TRUE(p.realTimeSafe());
    }
}

TEST(ModulationMatrixTest, PerSampleSumOfSeveralSlots) {
    MatrixTestPlugin p;
    p.source(kXLFO1).setWave(0.0f, 1.0f, 0.01f);
    p.source(kXLFO2).setWave(0.2f, 0.5f, 0.003f);
    p.source(kEG1).setConstant(0.25f);
    p.connect(0, kXLFO1, kDelay1Time, 0.5f);  // engine level 0.16
    p.connect(1, kXLFO2, kDelay1Time, 1.0f);
    p.connect(2, kEG1, kDelay1Time, 1.0f);
    p.run(kDelay1Time);  // let the level ramps settle
    const float* y = p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    ASSERT_FALSE(p.lastConstant);
    long first = 9600;  // position of the block just run in the sources' own count
    for (int i = 0; i < MatrixTestPlugin::kBlock; ++i) {
        long n = first + i;
        float expected = baseDelay(p) + p.source(kXLFO1).at(n) * 0.16f * 500.0f +
                         p.source(kXLFO2).at(n) * 500.0f + 0.25f * 1000.0f;
        ASSERT_NEAR(y[i], expected, 0.05f) << "sample " << i;
    }
    EXPECT_TRUE(p.realTimeSafe());
}

// A level modulated at audio rate enters the product sample by sample.
TEST(ModulationMatrixTest, PerSampleLevelModulation) {
    MatrixTestPlugin p;
    p.source(kXLFO1).setWave(0.0f, 1.0f, 0.01f);
    p.source(kXLFO2).setWave(0.3f, 0.2f, 0.007f);
    p.connect(0, kXLFO1, kDelay1Time, 0.5f);   // depth 500, level 0.16
    p.connect(1, kXLFO2, slotLevel(0), 1.0f);  // depth 500 on slot 1's level
    p.run(kDelay1Time);
    // A sub-block whose length is not a multiple of four, as MIDI events cut them.
    constexpr int kOdd = 13;
    const float* y = p.run(kDelay1Time, kOdd, kOdd);
    ASSERT_FALSE(p.lastConstant);
    for (int i = 0; i < kOdd; ++i) {
        long n = 9600 + i;
        float level = 0.16f * 500.0f + p.source(kXLFO2).at(n) * 500.0f;
        ASSERT_NEAR(y[i], baseDelay(p) + p.source(kXLFO1).at(n) * level, 0.05f) << "sample " << i;
    }
    EXPECT_TRUE(p.realTimeSafe());
}

TEST(ModulationMatrixTest, InvertFlipsAndBypassSilencesASlot) {
    struct Case {
        bool inverted;
        bool bypassed;
        float sign;
    };
    const Case cases[] = {
        {false, false, 1.0f}, {true, false, -1.0f}, {false, true, 0.0f}, {true, true, 0.0f}};
    MatrixTestPlugin p;
    p.source(kEF1).setConstant(0.1f);
    p.connect(0, kEF1, kDelay1Time, 1.0f);
    for (const Case& c : cases) {
        p.slot(0).invert.setValue(c.inverted ? 1.0f : 0.0f, 0);
        p.slot(0).bypass.setValue(c.bypassed ? 1.0f : 0.0f, 0);
        float y = p.settled(kDelay1Time);
        EXPECT_NEAR(y, baseDelay(p) + c.sign * 200.0f, 0.05f) << c.inverted << c.bypassed;
        EXPECT_EQ(p.matrix().isSlotActive(0), !c.bypassed);
    }
    EXPECT_TRUE(p.realTimeSafe());
}

TEST(ModulationMatrixTest, RemovingTheLastSlotReturnsToTheBaseRampMarkedConstantOnceSettled) {
    MatrixTestPlugin p;
    p.source(kXLFO1).setWave(0.0f, 1.0f, 0.02f);
    p.connect(0, kXLFO1, kDelay1Time);
    p.run(kDelay1Time);
    EXPECT_FALSE(p.lastConstant);
    std::vector<int> cleared;
    p.controller().clearSlotsOfTarget(kDelay1Time, cleared);
    EXPECT_EQ(cleared, std::vector<int>{0});
    const float* y = p.run(kDelay1Time);
    EXPECT_EQ(y, p.baseBuffer(kDelay1Time));
    EXPECT_TRUE(p.lastConstant);
    EXPECT_FALSE(p.matrix().isSlotActive(0));
    EXPECT_TRUE(p.realTimeSafe());
}

TEST(ModulationMatrixTest, LoopRuleKeepsSelfModulationInactive) {
    MatrixTestPlugin p;
    p.connect(0, kXLFO1, kXLFO1Freq);    // a source modulating its own parameter
    p.connect(1, kXLFO1, slotLevel(1));  // a slot modulating its own level
    p.connect(2, kXLFO1, kDelay1Time);   // an ordinary connection beside them
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    EXPECT_FALSE(p.matrix().isSlotActive(0));
    EXPECT_FALSE(p.matrix().isSlotActive(1));
    EXPECT_TRUE(p.matrix().isSlotActive(2));
    // The editor's check on the parameters agrees with the matrix, and the settings are kept.
    EXPECT_FALSE(p.controller().isSlotValid(0));
    EXPECT_FALSE(p.controller().isSlotValid(1));
    EXPECT_TRUE(p.controller().isSlotValid(2));
    EXPECT_EQ(p.controller().getSource(0), kXLFO1);
    EXPECT_EQ(p.controller().getTarget(0), kXLFO1Freq);
    EXPECT_TRUE(p.realTimeSafe());
}

// XLFO 1 -> EG 1 Attack together with EG 1 -> XLFO 1 Frequency: whichever is made first, both are
// inactive; bypassing one does not free the other; clearing one does.
TEST(ModulationMatrixTest, LoopRuleCatchesATwoSlotCycleInEitherOrder) {
    for (bool xlfoFirst : {true, false}) {
        MatrixTestPlugin p;
        int a = xlfoFirst ? 0 : 1;
        int b = 1 - a;
        p.connect(a, kXLFO1, kEG1Attack);
        p.run(kDelay1Time, MatrixTestPlugin::kBlock);
        EXPECT_TRUE(p.matrix().isSlotActive(a));
        p.connect(b, kEG1, kXLFO1Freq);
        p.run(kDelay1Time, MatrixTestPlugin::kBlock);
        EXPECT_FALSE(p.matrix().isSlotActive(0)) << xlfoFirst;
        EXPECT_FALSE(p.matrix().isSlotActive(1)) << xlfoFirst;

        p.slot(b).bypass.setValue(1.0f, 0);
        p.run(kDelay1Time, MatrixTestPlugin::kBlock);
        EXPECT_FALSE(p.matrix().isSlotActive(a)) << "a loop through a bypassed slot still counts";
        EXPECT_FALSE(p.controller().isSlotValid(a));

        std::vector<int> cleared;
        p.controller().clearSlot(b, cleared);
        p.run(kDelay1Time, MatrixTestPlugin::kBlock);
        EXPECT_TRUE(p.matrix().isSlotActive(a));
        EXPECT_TRUE(p.realTimeSafe());
    }
}

TEST(ModulationMatrixTest, LoopRuleCatchesLevelsThatModulateEachOther) {
    MatrixTestPlugin p;
    p.connect(0, kXLFO1, kDelay1Time);
    p.connect(1, kXLFO2, slotLevel(0));
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    EXPECT_TRUE(p.matrix().isSlotActive(0));
    EXPECT_TRUE(p.matrix().isSlotActive(1));
    // Slot 3 modulates slot 2's level while slot 2 modulates slot 1's: still no loop.
    p.connect(2, kEG1, slotLevel(1));
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    EXPECT_TRUE(p.matrix().isSlotActive(2));
    // Slot 1 now aimed at slot 3's level closes the circle 1 -> 3 -> 2 -> 1.
    p.slot(0).target.setValue(float(slotLevel(2) + 1), 0);
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    for (int s = 0; s < 3; ++s) EXPECT_FALSE(p.matrix().isSlotActive(s)) << s;
    EXPECT_TRUE(p.realTimeSafe());
}

// A preset load changes many slots in one drain of the queue; the loop check then runs once, and
// must leave the same slots active, with the same depths, as checking after every change.
TEST(ModulationMatrixTest, ABatchOfSlotChangesEndsAsChangesOneAtATimeDo) {
    struct Result {
        std::vector<bool> active;
        std::vector<float> depth;
        bool operator==(const Result&) const = default;
    };
    auto build = [](bool batched) {
        MatrixTestPlugin p;
        auto step = [&] {
            if (!batched) p.GenericPlugin::applyParameterChanges();  // checked per change
        };
        p.connect(0, kXLFO1, kEG1Attack);
        step();
        p.connect(1, kEG1, kXLFO1Freq);  // closes a loop with slot 0
        step();
        p.connect(2, kXLFO2, kDelay1Time);
        step();
        p.connect(3, kEG1, slotLevel(2), 0.5f);
        step();
        p.slot(1).target.setValue(float(kDelay1Time + 1), 0);  // opens the loop again
        step();
        p.connect(4, kXLFO2, slotLevel(4));  // modulates its own level
        step();
        p.run(kDelay1Time, MatrixTestPlugin::kBlock);
        Result r;
        for (int s = 0; s < 5; ++s) {
            r.active.push_back(p.matrix().isSlotActive(s));
            r.depth.push_back(p.matrix().slotDepth(s));
        }
        EXPECT_TRUE(p.realTimeSafe());
        return r;
    };
    Result single = build(false), batched = build(true);
    EXPECT_EQ(single.active, (std::vector<bool>{true, true, true, true, false}));
    EXPECT_EQ(batched.active, single.active);
    EXPECT_EQ(batched.depth, single.depth);
}

// A preset load can clear a slot's connection and flip its invert switch in one drain of the queue:
// the slot is still marked active until the batch ends and must not be measured meanwhile.
TEST(ModulationMatrixTest, ASlotDisconnectedAndInvertedInOneBatchIsNotMeasured) {
    MatrixTestPlugin p;
    p.connect(0, kXLFO1, kDelay1Time);
    p.run(kDelay1Time);
    ASSERT_TRUE(p.matrix().isSlotActive(0));
    p.slot(0).source.setValue(-1.0f, 0);
    p.slot(0).target.setValue(-1.0f, 0);
    p.slot(0).invert.setValue(1.0f, 0);
    p.run(kDelay1Time, MatrixTestPlugin::kBlock);
    EXPECT_FALSE(p.matrix().isSlotActive(0));
    EXPECT_TRUE(p.realTimeSafe());
}

// Slot 2 modulates slot 1's level: its depth is slot 1's depth times its own factor, and inverting
// slot 1 also inverts what slot 2 adds.
TEST(ModulationMatrixTest, ModulatedLevelIsMeasuredInTheModulatedSlotsDepth) {
    MatrixTestPlugin p;
    p.source(kXY1Hor).setConstant(0.1f);
    p.source(kXY1Ver).setConstant(0.5f);
    p.connect(0, kXY1Hor, kDelay1Time, 0.5f);   // level 0.16, depth 4995
    p.connect(1, kXY1Ver, slotLevel(0), 1.0f);  // adds 0.5 x 1 to slot 1's level
    float y = p.settled(kDelay1Time);
    EXPECT_FLOAT_EQ(p.matrix().slotDepth(0), 4995.0f);
    EXPECT_FLOAT_EQ(p.matrix().slotDepth(1), 4995.0f);
    EXPECT_NEAR(y, baseDelay(p) + 0.1f * (0.16f + 0.5f) * 4995.0f, 0.1f);

    p.slot(0).invert.setValue(1.0f, 0);
    y = p.settled(kDelay1Time);
    EXPECT_FLOAT_EQ(p.matrix().slotDepth(1), -4995.0f);
    EXPECT_NEAR(y, std::max(5.0f, baseDelay(p) - 0.1f * (0.16f + 0.5f) * 4995.0f), 0.1f);
    EXPECT_TRUE(p.realTimeSafe());
}

TEST(ModulationMatrixTest, SnapChangesTheXLFODepthOnFilterFrequencyAtOnce) {
    MatrixTestPlugin p;
    p.connect(0, kXLFO1, kFilter1Freq);
    p.run(kFilter1Freq, MatrixTestPlugin::kBlock);
    EXPECT_FLOAT_EQ(p.matrix().slotDepth(0), 4.2f);
    {
        AudioThreadGuard guard;
        p.matrix().setSourceType(kXLFO1, ModulationMatrixPlugin::SnappedXLFOSource);
        EXPECT_EQ(guard.allocations(), 0);
    }
    EXPECT_FLOAT_EQ(p.matrix().slotDepth(0), 1.0f);
    EXPECT_FLOAT_EQ(p.matrix().targetRecord(slotLevel(0)).maximum, 1.0f);
}

TEST(ModulationMatrixTest, SlotWithoutSourceProducerWaitsForIt) {
    MatrixTestPlugin p;
    p.matrix().setSourceProducer(kMidi1, nullptr);
    p.source(kMidi1).setConstant(0.1f);
    p.connect(0, kMidi1, kDelay1Time, 1.0f);
    float base = p.settled(kDelay1Time);
    EXPECT_FALSE(p.matrix().isSlotActive(0));
    EXPECT_NEAR(base, baseDelay(p), 1e-3f);
    p.matrix().setSourceProducer(kMidi1, &p.source(kMidi1));
    EXPECT_NEAR(p.settled(kDelay1Time), baseDelay(p) + 499.5f, 0.05f);
}

TEST(ModulationMatrixTest, EveryTargetHasAKindAndTheSlotsTheirLevels) {
    MatrixTestPlugin p;
    for (int t = 0; t < ModulationMatrix::kTargetCount; ++t)
        EXPECT_GE(p.matrix().targetKindNumber(t), 0) << t;
    for (int s = 0; s < ModulationMatrix::kSlotCount; ++s)
        EXPECT_EQ(p.matrix().slotRecord(s).levelTarget, slotLevel(s));
    EXPECT_EQ(p.matrix().ownTargets(kEG1), (std::vector<int>{34, 35, 36, 37, 38, 39}));
    EXPECT_TRUE(p.matrix().ownTargets(kXY1Hor).empty());
    EXPECT_NEAR(p.matrix().kind(17).defaultFactor, 63.0957f - 0.0158489f, 1e-3f);
    EXPECT_FLOAT_EQ(p.matrix().kind(8).defaultFactor, 6.25f);
}
