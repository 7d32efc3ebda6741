#include <gtest/gtest.h>

#include <cstdio>

#include "AudioThreadGuard.h"
#include "TempHome.h"
#include "TestPlugin.h"
#include "persistence/ProgramChangeQueue.h"

TEST(ProgramChangeQueueTest, TheAudioSideOnlyStoresAndTheOwnerLoadsTheLatestProgram) {
    TempHome home;
    TestPlugin plugin;
    PresetManager& main = PersistenceGlobals::instance()->mainPresets();
    for (int i = 0; i < 3; ++i) {
        std::vector<float> v(TestPlugin::kCount, float(10 * i));
        TempHome::writeFile(main.path() + "p" + std::to_string(i) + ".bxp",
                            presetBytes("BLms", 5, int(v.size()), v));
    }
    main.setFolder(main.path());

    ProgramChangeQueue queue;
    {
        AudioThreadGuard guard;
        queue.programChange(0, 1);
        queue.programChange(0, 2);
        EXPECT_EQ(guard.allocations(), 0);
        if (AudioThreadGuard::countsLocks()) {
            EXPECT_EQ(guard.locks(), 0);
        }
    }
    ASSERT_TRUE(queue.deliver(plugin, main));
    EXPECT_EQ(plugin.presetState().record().name, "p2");
    EXPECT_FLOAT_EQ(plugin.parameter(0).value(), 20.0f);
    EXPECT_FALSE(queue.deliver(plugin, main)) << "taken once";

    queue.programChange(1, 0);  // beyond the list: nothing happens
    EXPECT_FALSE(queue.deliver(plugin, main));
    EXPECT_EQ(plugin.presetState().record().name, "p2");
    queue.programChange(16383, 127);
    int bank = 0, program = 0;
    ASSERT_TRUE(queue.take(bank, program));
    EXPECT_EQ(bank, 16383);
    EXPECT_EQ(program, 127);
}

TEST(ProgramChangeQueueTest, AProgramChangeThroughProcessingLoadsOnTheOwnersThread) {
    TempHome home;
    TestPlugin plugin;
    PresetManager& main = PersistenceGlobals::instance()->mainPresets();
    for (int i = 0; i < 130; ++i) {
        std::vector<float> v(TestPlugin::kCount, float(i % 100));
        char name[16];
        std::snprintf(name, sizeof name, "p%03d.bxp", i);
        TempHome::writeFile(main.path() + name, presetBytes("BLms", 5, int(v.size()), v));
    }
    main.setFolder(main.path());

    float in[64] = {}, out0[64], out1[64];
    const float* inputs[2] = {in, in};
    float* outputs[2] = {out0, out1};
    auto send = [&](std::uint8_t status, std::uint8_t d1, std::uint8_t d2) {
        MidiMessage m;
        m.status = status;
        m.data1 = d1;
        m.data2 = d2;
        plugin.receiveMidi(m);
    };
    plugin.process(inputs, 2, outputs, 2, 64);  // settles the first block's set-up outside the guard

    // Off by default: the program change is dropped by the receiver.
    send(0xC0, 3, 0);
    plugin.process(inputs, 2, outputs, 2, 64);
    EXPECT_FALSE(plugin.programChanges.deliver(plugin, main));

    GenericPlugin::sharedSettings()->enableMidiProgramChanges = true;
    send(0xB0, 0, 0);   // bank select, coarse
    send(0xB0, 32, 1);  // bank select, fine: bank 1
    send(0xC0, 1, 0);   // program 1 of bank 1: the 130th entry
    {
        AudioThreadGuard guard;
        plugin.process(inputs, 2, outputs, 2, 64);
        EXPECT_EQ(guard.allocations(), 0);
        if (AudioThreadGuard::countsLocks()) {
            EXPECT_EQ(guard.locks(), 0);
        }
    }
    EXPECT_EQ(plugin.presetState().record().name, "") << "nothing loads on the audio thread";
    ASSERT_TRUE(plugin.programChanges.deliver(plugin, main));
    EXPECT_EQ(plugin.presetState().record().name, "p129");
    EXPECT_FLOAT_EQ(plugin.parameter(0).value(), 29.0f);
}
