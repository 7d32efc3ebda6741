#include <gtest/gtest.h>

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
    EXPECT_EQ(plugin.presetState().record.name, "p2");
    EXPECT_FLOAT_EQ(plugin.parameter(0).value(), 20.0f);
    EXPECT_FALSE(queue.deliver(plugin, main)) << "taken once";

    queue.programChange(1, 0);  // beyond the list: nothing happens
    EXPECT_FALSE(queue.deliver(plugin, main));
    EXPECT_EQ(plugin.presetState().record.name, "p2");
    queue.programChange(16383, 127);
    int bank = 0, program = 0;
    ASSERT_TRUE(queue.take(bank, program));
    EXPECT_EQ(bank, 16383);
    EXPECT_EQ(program, 127);
}
