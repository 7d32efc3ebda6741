// The delay's older preset layouts, read through the plug-in's full-preset load.

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "OldPresetWriter.h"
#include "TempHome.h"
#include "engine/LorimanePlugin.h"
#include "framework/Tapers.h"

namespace {

constexpr int kV2Slots = 56;  // first slot position of "BLor" 2
constexpr int kV1Slots = 45;  // first slot position of "BDel" 1

struct OlderPresets : ::testing::Test {
    TempHome home;
    LorimanePlugin plugin;

    bool load(const std::string& bytes) {
        std::string path = home.path("old.bxp");
        TempHome::writeFile(path, bytes);
        return plugin.loadPreset({"old", path});
    }
    std::vector<float> values() {
        std::vector<float> v;
        for (int i = 0; i < plugin.getParameterCount(); ++i) v.push_back(plugin.getParameter(i)->value());
        return v;
    }
    ModulationSlotParameterSet& slot(int s) { return plugin.slots.slotSet(s); }
    int source(int s) { return int(slot(s).source.value()) - 1; }
    int target(int s) { return int(slot(s).target.value()) - 1; }
    float engineLevel(int s) { return tapers::level(slot(s).level.value()); }
    float delayMs(int d) {
        return plugin.delays.set(d).time.plainToDisplay(plugin.delays.set(d).time.value());
    }
};

}  // namespace

TEST_F(OlderPresets, WrongTagsVersionsAndShortFilesChangeNothing) {
    plugin.wetLevel.setValue(0.3f, 0);
    plugin.delays.set(0).feedback.setValue(0.7f, 0);
    std::vector<float> before = values();
    const std::string files[] = {
        OldPresetWriter("BLor", 3, 180).bytes(),  // a tag from another version
        OldPresetWriter("BDel", 2, 150).bytes(),
        OldPresetWriter("BLms", 1, 150).bytes(),
        OldPresetWriter("BLms", 6, 705).bytes(),
        OldPresetWriter("BLor", 2, 180).bytes(100),  // ends inside the values
        OldPresetWriter("BDel", 1, 150).bytes(149),
        OldPresetWriter("BLms", 3, 704).bytes(703),
        OldPresetWriter("BLor", 2, -5).bytes(0),  // an impossible count
    };
    for (const std::string& bytes : files) {
        EXPECT_FALSE(load(bytes)) << bytes.substr(0, 4) << int(bytes[4]);
        EXPECT_EQ(values(), before) << bytes.substr(0, 4) << int(bytes[4]);
    }
}

TEST_F(OlderPresets, Version3SkipsFreezeAndRescalesTheDelayTime) {
    const int count = plugin.getParameterCount();
    const int freeze = plugin.delayFreeze.index();
    OldPresetWriter writer("BLms", 3, count - 1);
    // Version 3 lacks "Delay Freeze": everything after it sits one position earlier.
    auto position = [&](int index) { return index < freeze ? index : index - 1; };
    writer.at(position(plugin.delays.set(0).time.index()), 0.5f);
    writer.at(position(plugin.wetPan.index()), -0.25f);
    writer.at(position(plugin.filters.set(0).freq.index()), 0.5f);
    plugin.delayFreeze.setValue(1.0f, 0);
    ASSERT_TRUE(load(writer.bytes()));
    EXPECT_FLOAT_EQ(plugin.wetPan.value(), -0.25f);
    EXPECT_FLOAT_EQ(plugin.filters.set(0).freq.value(), 0.5f);
    EXPECT_EQ(plugin.delayFreeze.value(), 1.0f);
    // 0.5 on the old 10 to 5000 ms scale of the level curve (0.16) is 808.4 ms.
    EXPECT_NEAR(delayMs(0), 10.0f + 4990.0f * 0.16f, 0.05f);
    // The second delay held 0 there: the old scale's 10 ms.
    EXPECT_NEAR(delayMs(1), 10.0f, 0.01f);
}

TEST_F(OlderPresets, EnvelopeFollowerFeedbackSlotsHalveInVersions3And4Only) {
    const int count = plugin.getParameterCount();
    const int freeze = plugin.delayFreeze.index();
    for (int version : {3, 4, 5}) {
        OldPresetWriter writer("BLms", version, version == 3 ? count - 1 : count);
        auto position = [&](int index) { return version == 3 && index > freeze ? index - 1 : index; };
        for (int i = 0; i < count; ++i)
            if (i != freeze || version != 3) writer.at(position(i), plugin.getParameter(i)->defaultValue());
        writer.at(position(plugin.efs.numActiveParameter().index()), 1.0f);
        writer.at(position(plugin.slots.numActiveParameter().index()), 2.0f);
        // Slot 1: EF 1 (source 20) to the first delay's Feedback (target 2); slot 2: EF 1 to the
        // first delay's Time (target 0), which keeps its level.
        writer.at(position(slot(0).source.index()), 21.0f).at(position(slot(0).target.index()), 3.0f);
        writer.at(position(slot(0).level.index()), 0.5f);
        writer.at(position(slot(1).source.index()), 21.0f).at(position(slot(1).target.index()), 1.0f);
        writer.at(position(slot(1).level.index()), 0.5f);
        ASSERT_TRUE(load(writer.bytes())) << version;
        ASSERT_EQ(source(0), 20) << version;
        ASSERT_EQ(target(0), 2) << version;
        EXPECT_NEAR(engineLevel(0), version == 5 ? 0.16f : 0.08f, 1e-5f) << version;
        EXPECT_NEAR(engineLevel(1), 0.16f, 1e-5f) << version;
    }
}

TEST_F(OlderPresets, Version1SplitsFeedbackByBalanceAndPansTheLines) {
    OldPresetWriter writer("BDel", 1, 150);
    writer.at(9, 0.8f).at(10, 0.5f).at(11, 0.6f).at(12, -0.5f);
    writer.at(0, 1.0f);  // the first delay's Time at the top of the old 25 to 2500 ms scale
    ASSERT_TRUE(load(writer.bytes()));
    EXPECT_FLOAT_EQ(plugin.delays.set(0).feedback.value(), 0.4f);
    EXPECT_FLOAT_EQ(plugin.delays.set(1).feedback.value(), 0.8f);
    EXPECT_FLOAT_EQ(plugin.delays.set(0).crossFeedback.value(), 0.6f);
    EXPECT_FLOAT_EQ(plugin.delays.set(1).crossFeedback.value(), 0.3f);
    EXPECT_EQ(plugin.delays.set(0).pan.value(), -1.0f);
    EXPECT_EQ(plugin.delays.set(1).pan.value(), 1.0f);
    EXPECT_NEAR(delayMs(0), 2500.0f, 0.5f);
    EXPECT_NEAR(delayMs(1), 25.0f, 0.01f);
    // No slot uses them, so the old LFOs and the MIDI sources are removed again.
    EXPECT_EQ(plugin.xlfos.numActiveParameter().value(), 0.0f);
    EXPECT_EQ(plugin.midiSources.numActiveParameter().value(), 0.0f);
}

TEST_F(OlderPresets, Version1FeedbackSlotsAreDuplicatedOntoTheSecondLine) {
    OldPresetWriter writer("BDel", 1, 150);
    // Old source 0 (the first LFO, now XLFO 1 = source 8) to old target 4 (feedback, now 2).
    writer.slot(kV1Slots, 0, 0, 0.5f, 4);
    writer.at(32 + 1, 2.0f);  // LFO A: sine
    ASSERT_TRUE(load(writer.bytes()));
    EXPECT_EQ(plugin.slots.numActiveParameter().value(), 2.0f);
    EXPECT_EQ(plugin.xlfos.numActiveParameter().value(), 1.0f);
    std::vector<int> targets = {target(0), target(1)};
    std::sort(targets.begin(), targets.end());
    EXPECT_EQ(targets, (std::vector<int>{2, 7}));
    EXPECT_EQ(source(0), 8);
    EXPECT_EQ(source(1), 8);
    EXPECT_EQ(plugin.xlfos.set(0).steps.set(0).glideFunction.value(), 3.0f);
    EXPECT_EQ(plugin.xlfos.set(0).steps.set(1).glideFunction.value(), 3.0f);
}

TEST_F(OlderPresets, Version1FeedbackSlotCopiesTakeTheSlotsModulatingTheirLevel) {
    OldPresetWriter writer("BDel", 1, 150);
    // LFO A to feedback; LFO B (now XLFO 2 = source 9) to the level of slot 0 (old target 21 + 0).
    writer.slot(kV1Slots, 0, 0, 0.5f, 4);
    writer.slot(kV1Slots, 1, 1, 0.25f, 21);
    ASSERT_TRUE(load(writer.bytes()));
    // Both slots and a copy of each, the copy of the level slot on the copy's level.
    ASSERT_EQ(plugin.slots.numActiveParameter().value(), 4.0f);
    int feedback = -1, copy = -1;
    for (int s = 0; s < 4; ++s) {
        if (target(s) == 2) feedback = s;
        if (target(s) == 7) copy = s;
    }
    ASSERT_GE(feedback, 0);
    ASSERT_GE(copy, 0);
    std::vector<int> levelTargets;
    for (int s = 0; s < 4; ++s)
        if (source(s) == 9) levelTargets.push_back(target(s));
    std::sort(levelTargets.begin(), levelTargets.end());
    std::vector<int> expected = {83 + feedback, 83 + copy};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(levelTargets, expected);
}

TEST_F(OlderPresets, Version2RemapsSourcesAndTargetsAndClearsImpossibleSlots) {
    OldPresetWriter writer("BLor", 2, 176);  // the shorter variant: the last four positions default
    writer.slot(kV2Slots, 0, 2, 0.5f, 18);   // old EG to old target 18: EG 1 to EG 1 Attack
    writer.slot(kV2Slots, 1, 1, 0.5f, 30);   // the second LFO to old slot 4's level
    writer.slot(kV2Slots, 2, 9, 0.5f, 0);    // a source beyond the version's table
    writer.slot(kV2Slots, 3, 0, 0.5f, 60);   // a target beyond every slot level
    writer.at(42 + 1, 3.0f);                 // LFO B random: both steps random
    ASSERT_TRUE(load(writer.bytes()));
    // The two impossible slots are gone; the others are sorted, so find them by target.
    ASSERT_EQ(plugin.slots.numActiveParameter().value(), 2.0f);
    int eg = target(0) == 36 ? 0 : 1;
    EXPECT_EQ(target(eg), 36);
    EXPECT_EQ(source(eg), 14);
    EXPECT_EQ(plugin.egs.numActiveParameter().value(), 1.0f);
    // Old target 30 is old slot 4's level, target 86. The second LFO became XLFO 2, and moved to
    // XLFO 1 (source 8) when the unused first one was removed.
    EXPECT_EQ(target(1 - eg), 86);
    EXPECT_EQ(source(1 - eg), 8);
    EXPECT_EQ(plugin.xlfos.numActiveParameter().value(), 1.0f);
    EXPECT_EQ(plugin.xlfos.set(0).glide.value(), 1.0f);
    EXPECT_EQ(plugin.xlfos.set(0).steps.set(0).random.value(), 1.0f);
    EXPECT_EQ(plugin.xlfos.set(0).steps.set(1).random.value(), 1.0f);
    EXPECT_EQ(plugin.delays.set(0).feedbackInvert.value(),
              plugin.delays.set(0).feedbackInvert.defaultValue());
    EXPECT_EQ(plugin.delays.set(1).feedbackInvert.value(),
              plugin.delays.set(1).feedbackInvert.defaultValue());
    EXPECT_EQ(plugin.autoMute.value(), plugin.autoMute.defaultValue());
}

TEST_F(OlderPresets, Version2ScalesTheLevelsOfMidiDrivenSlotsByTargetKind) {
    OldPresetWriter writer("BLor", 2, 180);
    // Old sources 3, 5, 6 are Pitch Bend, Velocity and Aftertouch; old targets 0 to 4 are the first
    // delay's Time, Offset, Feedback, Cross Feedback and Pan.
    writer.slot(kV2Slots, 0, 5, 0.5f, 1);  // Velocity to Offset (kind 2): any kind halves
    writer.slot(kV2Slots, 1, 5, 0.5f, 2);  // Velocity to Feedback (kind 0): halved, then doubled
    writer.slot(kV2Slots, 2, 3, 0.5f, 4);  // Pitch Bend to Pan (kind 16): halved
    writer.slot(kV2Slots, 3, 6, 0.5f, 0);  // Aftertouch: no scaling
    ASSERT_TRUE(load(writer.bytes()));
    ASSERT_EQ(plugin.slots.numActiveParameter().value(), 4.0f);
    // Mod Wheel and KB Track had no slot and are gone: three MIDI sources remain.
    EXPECT_EQ(plugin.midiSources.numActiveParameter().value(), 3.0f);
    const std::map<int, float> expected = {{1, 0.08f}, {2, 0.16f}, {4, 0.08f}, {0, 0.16f}};
    for (int s = 0; s < 4; ++s) {
        ASSERT_TRUE(expected.count(target(s))) << target(s);
        EXPECT_NEAR(engineLevel(s), expected.at(target(s)), 1e-5f) << "target " << target(s);
    }
}
