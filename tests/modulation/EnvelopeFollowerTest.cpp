#include <gtest/gtest.h>

#include <cmath>

#include "ModulationRig.h"
#include "modulation/EnvelopeFollower.h"

namespace {

constexpr float kRate = 48000.0f;

struct FollowerRig {
    wave::Environment env{128};
    ScriptedSource level;
    EnvelopeFollower follower{env};

    explicit FollowerRig(std::function<float(long)> f) : level(env, std::move(f)) {
        env.setSampleRate(kRate);
        follower.setInput(&level);
    }
    void setTimes(float attack, float release) {
        follower.defaultAttack().value().jumpTo(attack);
        follower.defaultRelease().value().jumpTo(release);
    }
};

// First sample at which the output has crossed `value` (in the direction of travel), or -1.
int firstCrossing(const std::vector<float>& s, int from, float value, bool rising) {
    for (size_t i = from; i < s.size(); ++i)
        if (rising ? s[i] >= value : s[i] <= value) return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST(EnvelopeFollower, SteadyLevelsSettleLinearlyInDecibels) {
    struct Case {
        float level;
        float expected;
    };
    // The output is (dBFS + 60) / 60, floored at 0.
    for (Case c : {Case{1.0f, 1.0f}, Case{0.1f, 40.0f / 60.0f}, Case{0.01f, 20.0f / 60.0f},
                   Case{std::pow(10.0f, 6.0f / 20.0f), 1.1f}, Case{0.0f, 0.0f}, Case{1e-4f, 0.0f}}) {
        FollowerRig rig([&](long) { return c.level; });
        rig.setTimes(0.001f, 0.001f);
        auto out = runBlocks(rig.env, rig.follower, 9600);
        EXPECT_NEAR(out.back(), c.expected, 1e-4f) << "level " << c.level;
        EXPECT_NEAR(rig.follower.state(), c.expected * 60.0f, 1e-2f);
    }
}

TEST(EnvelopeFollower, AttackAndReleaseTimesAreNinetyPercentTimesOfAnyStepInDecibels) {
    struct Case {
        float from, to;  // linear levels
        float attack, release;
        float expectedSeconds;
    };
    // Rising steps use the attack time, falling ones the release time, whatever the step size.
    for (Case c : {Case{0.0f, 1.0f, 0.1f, 2.0f, 0.1f}, Case{0.1f, 1.0f, 0.1f, 2.0f, 0.1f},
                   Case{0.01f, 0.1f, 0.25f, 0.001f, 0.25f}, Case{1.0f, 0.0f, 2.0f, 0.2f, 0.2f},
                   Case{1.0f, 0.1f, 0.001f, 0.05f, 0.05f}}) {
        const int stepAt = 9600;
        FollowerRig rig([&](long n) { return n < stepAt ? c.from : c.to; });
        rig.setTimes(0.001f, 0.001f);
        std::vector<float> out;
        runBlocks(rig.env, rig.follower, stepAt, 128, out, [](int, int) {});
        rig.setTimes(c.attack, c.release);
        runBlocks(rig.env, rig.follower, stepAt + static_cast<int>(c.expectedSeconds * kRate * 2), 128, out,
                  [](int, int) {});

        auto dbOut = [](float x) {
            return x > 1e-10f ? std::max(20.0f * std::log10(x) + 60.0f, 0.0f) / 60.0f : 0.0f;
        };
        const float start = dbOut(c.from), end = dbOut(c.to);
        const float ninety = start + 0.9f * (end - start);
        int crossing = firstCrossing(out, stepAt, ninety, end > start) - stepAt;
        EXPECT_NEAR(crossing, c.expectedSeconds * kRate, 2.0f) << c.from << " -> " << c.to;
    }
}

// Unread, the follower costs nothing; read again, it starts where a follower that had kept
// following would be (the input level), not from its stale state.
TEST(EnvelopeFollower, IdleWhileUnreadAndRestartsFromTheInputLevel) {
    long quietUntil = 4800;
    FollowerRig rig([&](long t) { return t < quietUntil ? 0.001f : 0.1f; });
    rig.setTimes(0.001f, 2.0f);
    std::vector<float> out;
    runBlocks(rig.env, rig.follower, 4800, 128, out, [](int, int) {});
    EXPECT_NEAR(rig.follower.state(), 0.0f, 1e-3f);  // -60 dBFS
    quietUntil = 0;
    int calls = rig.level.calls;
    std::vector<float> unused;
    runBlocks(rig.env, rig.follower, 4800, 128, unused, [](int, int) {}, /*pull=*/false);
    EXPECT_EQ(rig.level.calls, calls);
    EXPECT_NEAR(rig.follower.state(), 0.0f, 1e-3f);
    out.clear();
    runBlocks(rig.env, rig.follower, 256, 128, out, [](int, int) {});
    EXPECT_NEAR(out.front(), 40.0f / 60.0f, 1e-4f);
    EXPECT_NEAR(out.back(), 40.0f / 60.0f, 1e-4f);
}

TEST(EnvelopeFollower, ModulatedTimeInputsReplaceTheDefaults) {
    FollowerRig rig([](long n) { return n < 4800 ? 0.0f : 1.0f; });
    ScriptedSource attack(rig.env, [](long) { return 0.05f; });
    rig.follower.setAttackInput(&attack);
    auto out = runBlocks(rig.env, rig.follower, 4800 * 3);
    EXPECT_NEAR(firstCrossing(out, 4800, 0.9f, true) - 4800, 0.05f * kRate, 2.0f);
    rig.follower.setAttackInput(nullptr);
    EXPECT_EQ(rig.follower.attackInput(), &rig.follower.defaultAttack());
}
