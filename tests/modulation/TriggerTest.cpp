#include <gtest/gtest.h>

#include "ModulationRig.h"
#include "modulation/Trigger.h"

namespace {

// Runs the trigger over `total` samples of the level f(n) and collects its events in absolute
// sample positions.
std::vector<Trigger::Event> runTrigger(Trigger& trigger, wave::Environment& env, int total) {
    std::vector<Trigger::Event> all;
    all.reserve(64);
    AudioThreadGuard guard;
    for (int done = 0; done < total; done += 128) {
        env.advanceCycle();
        trigger.run(128);
        trigger.run(128);  // a second run in the same cycle does nothing
        for (auto e : trigger.events()) all.push_back({e.state, e.sampleIndex + done});
        env.process(128, 0);
    }
    EXPECT_EQ(guard.allocations(), 0);
    return all;
}

}  // namespace

TEST(Trigger, TurnsOnAboveThresholdAndOffAfterHoldBelowHalfOfIt) {
    wave::Environment env(128);
    env.setSampleRate(48000.0f);
    // Rises through 0.9 at 1000, dips to 0.5 (above 0.45, keeps the trigger on) at 2000, falls to
    // 0.3 at 5000 for good.
    ScriptedSource level(env, [](long n) {
        if (n < 1000) return 0.0f;
        if (n < 2000) return 0.95f;
        if (n < 3000) return 0.5f;
        if (n < 4000) return 0.95f;
        return n < 4100 ? 0.3f : (n < 5000 ? 0.95f : 0.3f);
    });
    Trigger trigger(env);
    trigger.setLevelInput(&level);
    EXPECT_EQ(trigger.holdCount(), 720);  // 15 ms
    auto events = runTrigger(trigger, env, 9600);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].state, 1);
    EXPECT_EQ(events[0].sampleIndex, 1000);
    EXPECT_EQ(events[1].state, 0);
    EXPECT_EQ(events[1].sampleIndex, 5000 + 720);  // below for more than 720 samples
}

TEST(Trigger, ThresholdHoldTimeAndEnableAreProperties) {
    wave::Environment env(128);
    env.setSampleRate(48000.0f);
    ScriptedSource level(env, [](long n) { return (n / 4800) % 2 ? 0.5f : 0.0f; });
    Trigger trigger(env);
    trigger.setLevelInput(&level);
    EXPECT_TRUE(runTrigger(trigger, env, 19200).empty());  // 0.5 never passes 0.9
    trigger.threshold = 0.4f;
    trigger.holdTime = 1.0f;
    EXPECT_EQ(trigger.holdCount(), 48);
    auto events = runTrigger(trigger, env, 19200 + 256);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].sampleIndex, 4800);
    EXPECT_EQ(events[1].sampleIndex, 9600 + 48);
    trigger.enabled = 0;
    EXPECT_TRUE(runTrigger(trigger, env, 19200).empty());
    trigger.holdTime = 0.0f;
    EXPECT_EQ(trigger.holdCount(), 1);
}
