#include <atomic>
#include <thread>

#include "AudioThreadGuard.h"
#include "GuiFixture.h"
#include "gui/Bitmap.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"

namespace gui::test {
namespace {

struct RecordingListener : UserInterface::Listener {
    std::vector<std::pair<int, int>> events;
    std::vector<std::string> hints;
    void eventReceived(int code, int value) override { events.emplace_back(code, value); }
    void showHint(const std::string& text) override { hints.push_back(text); }
};

struct DeferredTarget : Component {
    using Component::Component;
    std::vector<std::pair<int, int>> calls;
    std::vector<std::thread::id> threads;
    void deferredCall(int code, int value) override {
        calls.emplace_back(code, value);
        threads.push_back(std::this_thread::get_id());
    }
};

class UserInterfaceTest : public GuiFixture {
protected:
    RecordingListener listener;
    void SetUp() override { ui->addListener(&listener); }
    void TearDown() override {
        if (ui) ui->removeListener(&listener);
    }
};

TEST_F(UserInterfaceTest, ModifiersTextNamesCtrlShiftAltInThatOrder) {
    EXPECT_EQ(ui->modifiersText(7), "Ctrl+Shift+Alt");
    EXPECT_EQ(ui->modifiersText(0), "");
    EXPECT_EQ(ui->modifiersText(1 | 4), "Ctrl+Shift");
    EXPECT_EQ(ui->modifiersText(2 | 8 | 64), "Alt");  // buttons and double-click have no names
    EXPECT_EQ(ui->modifierName(256), "");
}

TEST_F(UserInterfaceTest, ParameterEventsArriveBeforeGeneralOnesListenersLastFirst) {
    RecordingListener second;
    ui->addListener(&second);
    std::vector<std::string> order;
    struct Named : UserInterface::Listener {
        std::string name;
        std::vector<std::string>* order;
        void eventReceived(int, int) override { order->push_back(name); }
        void showHint(const std::string&) override {}
    } x, y;
    x.name = "x";
    y.name = "y";
    x.order = y.order = &order;
    ui->addListener(&x);
    ui->addListener(&y);
    ui->postEvent(5, 50);
    ui->postEvent(-1025, 3, true);
    ui->postEvent(6, 60);
    ui->processEvents();
    EXPECT_EQ(listener.events, (std::vector<std::pair<int, int>>{{-1025, 3}, {5, 50}, {6, 60}}));
    EXPECT_EQ(second.events, listener.events);
    EXPECT_EQ(order, (std::vector<std::string>{"y", "x", "y", "x", "y", "x"}));
    ui->removeListener(&second);
    ui->removeListener(&x);
    ui->removeListener(&y);
}

TEST_F(UserInterfaceTest, PostingAnEventNeitherAllocatesNorLocks) {
    ui->postEvent(1, 1);  // the first push touches the pool's pages
    ui->processEvents();
    AudioThreadGuard guard;
    for (int i = 0; i < 100; ++i) ui->postEvent(i, i, i % 2 == 0);
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
}

// An editor that stops draining (its window hidden) must not make the audio thread lock or
// allocate: posts that may not grow drop the overflow and keep what was queued.
TEST_F(UserInterfaceTest, PostsThatMayNotGrowDropTheOverflowInsteadOfGrowing) {
    ui->postEvent(1, 1);
    ui->processEvents();
    listener.events.clear();
    int queued = 0;
    {
        AudioThreadGuard guard;
        for (int i = 0; i < 2 * UserInterface::kQueueNodes; ++i) queued += ui->postEvent(7, i, true, false);
        EXPECT_EQ(guard.allocations(), 0);
        if (AudioThreadGuard::countsLocks()) {
            EXPECT_EQ(guard.locks(), 0);
        }
    }
    EXPECT_GT(queued, 0);
    EXPECT_LT(queued, 2 * UserInterface::kQueueNodes);
    ui->processEvents();
    ASSERT_EQ(listener.events.size(), static_cast<size_t>(queued));
    EXPECT_EQ(listener.events.back(), std::make_pair(7, queued - 1));
}

TEST_F(UserInterfaceTest, HousekeepingTickDeliversQueuedEvents) {
    ui->postEvent(9, 1);
    EXPECT_TRUE(listener.events.empty());
    system.advance(50);
    EXPECT_EQ(listener.events, (std::vector<std::pair<int, int>>{{9, 1}}));
}

TEST_F(UserInterfaceTest, DeferredCallsFromAnotherThreadRunOnTheUiThread) {
    auto* target = new DeferredTarget(ui.get());
    std::thread poster([&] { ui->postDeferred(target, 3, 4); });
    poster.join();
    EXPECT_TRUE(target->calls.empty());
    ui->processEvents();
    ASSERT_EQ(target->calls.size(), 1u);
    EXPECT_EQ(target->calls[0], (std::pair<int, int>{3, 4}));
    EXPECT_EQ(target->threads[0], std::this_thread::get_id());
    EXPECT_TRUE(listener.events.empty());  // the deferred marker is not an event
}

TEST_F(UserInterfaceTest, DeferredCallsToADestroyedComponentAreDiscarded) {
    auto* gone = new DeferredTarget(ui.get());
    auto* kept = new DeferredTarget(ui.get());
    ui->postDeferred(gone, 1, 0);
    ui->postDeferred(kept, 2, 0);
    ui->postDeferred(gone, 3, 0);
    delete gone;
    EXPECT_EQ(ui->pendingDeferredCalls(), 1u);
    ui->processEvents();
    EXPECT_EQ(kept->calls, (std::vector<std::pair<int, int>>{{2, 0}}));
}

TEST_F(UserInterfaceTest, ManyThreadsPostWhileTheUiThreadDrains) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2000;
    auto* target = new DeferredTarget(ui.get());
    std::atomic<int> running{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                ui->postEvent(t, i, i % 3 == 0);
                if (i % 4 == 0) ui->postDeferred(target, t, i);
            }
            --running;
        });
    }
    while (running > 0) ui->processEvents();
    for (auto& th : threads) th.join();
    ui->processEvents();

    // Every event arrived once, in posting order per thread and FIFO.
    std::vector<std::vector<int>> general(kThreads), parameter(kThreads);
    for (auto [code, value] : listener.events) (value % 3 == 0 ? parameter : general)[code].push_back(value);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(general[t].size() + parameter[t].size(), static_cast<size_t>(kPerThread));
        EXPECT_TRUE(std::is_sorted(general[t].begin(), general[t].end()));
        EXPECT_TRUE(std::is_sorted(parameter[t].begin(), parameter[t].end()));
    }
    EXPECT_EQ(target->calls.size(), static_cast<size_t>(kThreads * kPerThread / 4));
    for (std::thread::id id : target->threads) EXPECT_EQ(id, std::this_thread::get_id());
    EXPECT_EQ(ui->pendingDeferredCalls(), 0u);
}

TEST_F(UserInterfaceTest, DestroyingTheInterfaceDuringProcessingStopsAfterTheCurrentEvent) {
    struct Destroyer : UserInterface::Listener {
        std::unique_ptr<WindowInterface>* ui;
        int seen = 0;
        void eventReceived(int, int) override {
            ++seen;
            ui->reset();
        }
        void showHint(const std::string&) override {}
    } destroyer;
    destroyer.ui = &ui;
    ui->removeListener(&listener);
    ui->addListener(&destroyer);
    for (int i = 0; i < 5; ++i) ui->postEvent(i, i);
    WindowInterface* raw = ui.get();
    raw->processEvents();
    EXPECT_EQ(destroyer.seen, 1);
    EXPECT_EQ(ui, nullptr);
}

TEST_F(UserInterfaceTest, HintShowsAfterTheDelayAndRestartsOnTheNextControl) {
    Probe* a = probe("a", {0, 0, 50, 50});
    Probe* b = probe("b", {50, 0, 100, 50});
    a->hint = "first";
    b->hint = "second";
    window().moveMouse(10, 10);
    system.advance(1000);
    EXPECT_TRUE(listener.hints.empty());
    // Leaving a clears its pending hint (listeners hear the empty text) and b's starts afresh.
    window().moveMouse(60, 10);
    system.advance(1499);
    EXPECT_EQ(listener.hints, (std::vector<std::string>{""}));
    system.advance(1);
    EXPECT_EQ(listener.hints, (std::vector<std::string>{"", "second"}));
    // Leaving the control clears the shown hint once.
    window().moveMouse(150, 80);
    EXPECT_EQ(listener.hints, (std::vector<std::string>{"", "second", ""}));
    system.advance(3000);
    EXPECT_EQ(listener.hints.size(), 3u);
}

TEST_F(UserInterfaceTest, PressClearsAPendingHintAndDisabledHintsNeverStart) {
    Probe* a = probe("a", {0, 0, 50, 50});
    a->hint = "hint";
    window().moveMouse(10, 10);
    window().click(10, 10);
    system.advance(2000);
    EXPECT_EQ(listener.hints, (std::vector<std::string>{""}));  // never shown
    ui->setHintsEnabled(false);
    window().moveMouse(150, 80);
    window().moveMouse(10, 10);
    system.advance(2000);
    EXPECT_EQ(listener.hints, (std::vector<std::string>{""}));
}

TEST_F(UserInterfaceTest, TimerChangedOnAnotherThreadStartsOnTheUiThread) {
    Timer* timer = ui->createTimer();
    int ticks = 0;
    struct Counter {
        int* ticks;
        void tick(void*) { ++*ticks; }
    } counter{&ticks};
    timer->firedEvent.addHandler(&counter, &Counter::tick);
    timer->interval = 100;
    std::thread other([&] { timer->running = true; });
    other.join();
    system.advance(300);  // the housekeeping tick applies the change at 50 ms
    EXPECT_EQ(ticks, 2);  // due at 150 and 250
    timer->running = false;
    system.advance(300);
    EXPECT_EQ(ticks, 2);
    delete timer;
}

TEST_F(UserInterfaceTest, DestroyingTheInterfaceDestroysLeftoverComponents) {
    auto* target = new DeferredTarget(ui.get());
    Probe* a = probe("a", {0, 0, 10, 10});
    probe("b", {0, 0, 5, 5}, a);
    ui->createTimer()->running = true;
    ui->postDeferred(target, 1, 1);
    ui->removeListener(&listener);
    ui.reset();  // nothing leaks or dangles (the sanitizer builds check)
    EXPECT_TRUE(system.windows().empty());
}

// A bitmap whose "image data" is a width, a height and one straight colour per column.
class ColumnBitmap : public native::HeadlessBitmap {
public:
    bool load(const uint8_t* data, size_t size) override {
        if (size < 2 || size != 2u + data[0] * 3u) return false;
        const int w = data[0], h = data[1];
        setSize(w, h);
        for (int x = 0; x < w; ++x)
            fillRect({x, 0, x + 1, h}, Rgba{data[2 + 3 * x], data[3 + 3 * x], data[4 + 3 * x], 255});
        return true;
    }
};

class ColumnWindowSystem : public native::HeadlessWindowSystem {
public:
    std::unique_ptr<Bitmap> createBitmap() override { return std::make_unique<ColumnBitmap>(); }
};

TEST(BackgroundImageTest, NarrowImageRepeatsItsRightmostColumns) {
    struct Case {
        int imageWidth;
        int rootWidth;
    };
    // 60 columns in a 64-wide root repeat columns 56..59 in 60..63 (the 600-in-640 layout, scaled);
    // an image under half the width keeps repeating its whole width.
    for (const Case c : {Case{60, 64}, Case{20, 50}, Case{30, 30}, Case{40, 30}}) {
        ColumnWindowSystem system;
        WindowInterface ui(system, nullptr, Rect{0, 0, c.rootWidth, 4});
        std::vector<uint8_t> data{static_cast<uint8_t>(c.imageWidth), 4};
        for (int x = 0; x < c.imageWidth; ++x) data.insert(data.end(), {static_cast<uint8_t>(x), 7, 9});
        ASSERT_TRUE(ui.setBackgroundImage(data.data(), data.size()));
        const auto* bg = dynamic_cast<const native::HeadlessBitmap*>(ui.backgroundBitmap());
        ASSERT_NE(bg, nullptr);
        ASSERT_EQ(bg->width(), c.rootWidth);
        const int w = c.imageWidth, W = c.rootWidth;
        for (int x = 0; x < W; ++x) {
            int expected = x;
            if (x >= w && 2 * w >= W) expected = x - (W - w);  // the tail w - (W - w) .. w - 1
            // 20 in 50: a whole copy in 20..39, then the last 10 columns in 40..49.
            if (x >= w && 2 * w < W) expected = x < 2 * w ? x - w : x - 30;
            EXPECT_EQ(bg->colourAt(x, 2).red, expected) << w << "->" << W << " column " << x;
        }
        // The root paints the background.
        system.pump();
        EXPECT_EQ(system.windows().front()->snapshot().colourAt(W - 1, 1), bg->colourAt(W - 1, 1));
    }
}

TEST(BackgroundImageTest, DataThatIsNoImageLeavesTheBackgroundUnchanged) {
    ColumnWindowSystem system;
    WindowInterface ui(system, nullptr, Rect{0, 0, 10, 4});
    const uint8_t good[] = {1, 1, 5, 6, 7};
    ASSERT_TRUE(ui.setBackgroundImage(good, sizeof good));
    const Bitmap* before = ui.backgroundBitmap();
    const uint8_t bad[] = {9, 9, 9};
    EXPECT_FALSE(ui.setBackgroundImage(bad, sizeof bad));
    EXPECT_EQ(ui.backgroundBitmap(), before);
    EXPECT_EQ(dynamic_cast<const native::HeadlessBitmap*>(before)->colourAt(9, 0).red, 5);
}

}  // namespace
}  // namespace gui::test
