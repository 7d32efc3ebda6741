#include <gtest/gtest.h>

#include "platform/IntervalTimer.h"

namespace {
struct ManualClock : MillisecondClock {
    uint32_t now = 0;
    uint32_t nowMs() const override { return now; }
};
}  // namespace

TEST(IntervalTimer, ElapsedTimeSurvivesTheCounterWrap) {
    ManualClock clock;
    clock.now = 0xFFFFFF00u;
    auto timer = IntervalTimer::create(clock);
    clock.now += 0x80;
    EXPECT_EQ(timer->elapsedMs(), 0x80);
    clock.now += 0x100;  // wraps past zero
    EXPECT_EQ(timer->elapsedMs(), 0x180);
    EXPECT_EQ(static_cast<uint32_t>(timer->restart()), clock.now);
    clock.now += 5;
    EXPECT_EQ(timer->elapsedMs(), 5);
}

TEST(IntervalTimer, MonotonicClockRuns) {
    auto timer = IntervalTimer::create();
    EXPECT_GE(timer->elapsedMs(), 0);
}
