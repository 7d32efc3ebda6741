#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "GuiFixture.h"
#include "gui/gl/RenderThread.h"

namespace gui::test {
namespace {

// Time that moves only when the render thread waits, with a 60 Hz display whose blanks fall on
// whole periods.
class SteppedClock : public FrameClock {
public:
    explicit SteppedClock(bool timing) : timing_(timing) {}
    double nowMs() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return now_;
    }
    void sleepMs(double ms) override {
        std::lock_guard<std::mutex> lock(mutex_);
        now_ += ms;
    }
    bool displayTiming(double& periodMs, double& lastBlankMs) override {
        if (!timing_) return false;
        std::lock_guard<std::mutex> lock(mutex_);
        periodMs = kRefresh;
        lastBlankMs = std::floor(now_ / kRefresh) * kRefresh;
        return true;
    }
    static constexpr double kRefresh = 1000.0 / 60.0;

private:
    std::mutex mutex_;
    double now_ = 0;
    bool timing_;
};

class CountingTarget : public RenderThread::Target {
public:
    bool makeCurrent() override {
        ++currents;
        return true;
    }
    void release() override { ++releases; }
    void swapBuffers() override { ++swaps; }
    void drawFrame(RootControl&, const Rect&) override {
        if (uiHolding.load()) drewWhileUiHeldLock = true;
        ++frames;
        if (stopped.load()) drewAfterStop = true;
    }
    void shutdown() override { ++shutdowns; }

    std::atomic<int> frames{0};
    std::atomic<int> swaps{0};
    std::atomic<int> currents{0};
    std::atomic<int> releases{0};
    std::atomic<int> shutdowns{0};
    std::atomic<bool> uiHolding{false};
    std::atomic<bool> stopped{false};
    std::atomic<bool> drewWhileUiHeldLock{false};
    std::atomic<bool> drewAfterStop{false};
};

class RenderThreadTest : public GuiFixture {};

TEST_F(RenderThreadTest, RendersEveryFirstSecondOrThirdIterationFor60_30And20FramesPerSecond) {
    EXPECT_EQ(RenderThread::frameRate(0x11), 60);
    EXPECT_EQ(RenderThread::frameRate(0x12), 30);
    EXPECT_EQ(RenderThread::frameRate(3), 20);
    const struct {
        int setting;
        bool displayTiming;
        int every;
    } cases[] = {{1, true, 1}, {2, true, 2}, {3, true, 3}, {2, false, 1}, {3, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE("setting " + std::to_string(c.setting) + (c.displayTiming ? " with" : " without") + " timing");
        SteppedClock clock(c.displayTiming);
        CountingTarget target;
        RenderThread thread(*ui, root(), target, c.setting, &clock);
        thread.start();
        while (thread.iterations() < 60) std::this_thread::yield();
        thread.stop();
        const int n = thread.iterations();
        EXPECT_EQ(thread.renderedIterations(), (n + c.every - 1) / c.every);
    }
}

// An open window with nothing to draw costs no context switches: the context is current only for
// the frames that draw (and once more to shut down), released after each.
TEST_F(RenderThreadTest, MakesTheContextCurrentOnlyForFramesThatDraw) {
    SteppedClock clock(false);
    CountingTarget target;
    RenderThread thread(*ui, root(), target, 1, &clock);
    thread.start();
    while (thread.iterations() < 60) std::this_thread::yield();
    thread.stop();
    EXPECT_LT(target.frames.load(), 5);
    EXPECT_EQ(target.currents.load(), target.frames.load() + 1);
    EXPECT_EQ(target.releases.load(), target.currents.load());
}

TEST_F(RenderThreadTest, WaitsForTheRootLockAndDrawsNothingAfterStopping) {
    CountingTarget target;
    RenderThread thread(*ui, root(), target, 1);
    thread.start();
    for (int round = 0; round < 5; ++round) {
        root().enterMessage();
        target.uiHolding = true;
        root().invalidateAll();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        target.uiHolding = false;
        root().leaveMessage();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    EXPECT_GE(target.frames.load(), 5);
    EXPECT_FALSE(target.drewWhileUiHeldLock.load());

    root().enterMessage();
    root().invalidateAll();
    root().leaveMessage();
    thread.stop();
    target.stopped = true;
    const int frames = target.frames.load();
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(target.shutdowns.load(), 1);
    EXPECT_EQ(target.swaps.load(), frames);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(target.frames.load(), frames);
    EXPECT_FALSE(target.drewAfterStop.load());
}

}  // namespace
}  // namespace gui::test
