#include <atomic>
#include <thread>

#include "X11Fixture.h"
#include "XClient.h"
#include "gui/Bitmap.h"
#include "gui/Text.h"
#include "gui/native/WindowControl.h"
#include "platform/AsyncEventQueue.h"

namespace gui::test {
namespace {

class X11WindowTest : public X11Fixture {};

TEST_F(X11WindowTest, ClicksDoubleClicksAndDragsReachTheControls) {
    openWindow();
    Probe* a = probe("a", {10, 10, 90, 90});
    probe("b", {110, 10, 190, 90});

    ASSERT_TRUE(at(30, 40, {"click", "1"}));
    ASSERT_TRUE(waitForLog("a:click"));
    EXPECT_TRUE(logHas("a:down0@20,30"));
    EXPECT_TRUE(logHas("a:up0@20,30"));
    EXPECT_EQ(a->lastFlags & Control::LeftButton, Control::LeftButton);

    log.clear();
    ASSERT_TRUE(at(150, 50, {"click", "3"}));
    ASSERT_TRUE(waitForLog("b:rightclick"));

    log.clear();
    ASSERT_TRUE(at(50, 50, {"click", "--repeat", "2", "--delay", "80", "1"}));
    ASSERT_TRUE(waitForLog("a:double"));
    EXPECT_EQ(a->lastFlags & Control::DoubleClick, Control::DoubleClick);

    // A drag that leaves the control and the window: the pressed control keeps the pointer and its
    // release outside clicks nothing.
    log.clear();
    ASSERT_TRUE(at(20, 20, {"mousedown", "1"}));
    ASSERT_TRUE(server.xdotool({"mousemove", "400", "300", "mouseup", "1"}));
    ASSERT_TRUE(pumpUntil([&] {
        return std::any_of(log.begin(), log.end(), [](const std::string& e) { return e.rfind("a:up0@", 0) == 0; });
    }));
    EXPECT_TRUE(logHas("a:up0@370,270"));  // window at (20, 20), control at (10, 10)
    EXPECT_FALSE(logHas("a:click"));
    EXPECT_EQ(root().captureControl(), nullptr);
}

TEST_F(X11WindowTest, LosingThePointerGrabCancelsThePress) {
    openWindow();
    probe("a", {10, 10, 190, 90});
    ASSERT_TRUE(at(40, 40, {"mousedown", "1"}));
    ASSERT_TRUE(waitForLog("a:down0@30,30"));
    ASSERT_TRUE(pumpUntil([&] { return window().hasCapture(); }));
    // The host hides the editor in the middle of the press: the grab goes with it.
    XClient host(server.display());
    host.unmap(window().id());
    EXPECT_TRUE(waitForLog("a:up0@-1,-1"));
    EXPECT_EQ(root().captureControl(), nullptr);
    EXPECT_FALSE(logHas("a:click"));
    server.xdotool({"mouseup", "1"});
}

TEST_F(X11WindowTest, WheelNotchesArriveAsTwentyFivePixelsAndShiftCtrlMakesThemHorizontal) {
    openWindow();
    Probe* a = probe("a", {0, 0, 200, 100});
    a->handlesWheel = true;

    ASSERT_TRUE(at(50, 50, {"click", "5"}));
    ASSERT_TRUE(pumpUntil([&] { return a->wheels.size() >= 2; }));
    EXPECT_EQ(a->wheels[1].phase, 1);
    EXPECT_FLOAT_EQ(a->wheels[1].pixelsY, -25.0f);
    EXPECT_FLOAT_EQ(a->wheels[1].pixelsX, 0.0f);

    a->wheels.clear();
    ASSERT_TRUE(server.xdotool({"keydown", "shift", "keydown", "ctrl", "click", "4", "keyup", "ctrl", "keyup", "shift"}));
    ASSERT_TRUE(pumpUntil([&] {
        return std::any_of(a->wheels.begin(), a->wheels.end(), [](const auto& w) { return w.phase == 1; });
    }));
    const auto& w = *std::find_if(a->wheels.begin(), a->wheels.end(), [](const auto& w) { return w.phase == 1; });
    EXPECT_FLOAT_EQ(w.pixelsX, 25.0f);
    EXPECT_FLOAT_EQ(w.pixelsY, 0.0f);
    EXPECT_EQ(w.flags & (Control::Shift | Control::Ctrl), 0);
}

TEST_F(X11WindowTest, ModifierKeysBecomeToolkitFlags) {
    openWindow();
    Probe* a = probe("a", {0, 0, 200, 100});
    const struct {
        const char* key;
        int flag;
    } cases[] = {{"shift", Control::Shift}, {"ctrl", Control::Ctrl}, {"alt", Control::Alt}, {"super", Control::SystemKey}};
    int x = 20;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        log.clear();
        // Each click elsewhere, so that none pairs with the one before into a double-click.
        x += 30;
        ASSERT_TRUE(at(x, 40, {"keydown", c.key, "click", "1", "keyup", c.key}));
        ASSERT_TRUE(waitForLog("a:click"));
        EXPECT_EQ(a->lastFlags & (Control::Shift | Control::Ctrl | Control::Alt | Control::SystemKey), c.flag);
    }
}

TEST_F(X11WindowTest, HoverIsClearedByHousekeepingWhenThePointerLeaves) {
    openWindow();
    probe("a", {0, 0, 200, 100});
    ASSERT_TRUE(at(40, 40));
    ASSERT_TRUE(waitForLog("a:enter"));
    // Xvfb has no window manager: the pointer simply jumps out, with no motion inside on the way.
    ASSERT_TRUE(server.xdotool({"mousemove", "500", "400"}));
    EXPECT_TRUE(waitForLog("a:exit"));
}

TEST_F(X11WindowTest, TimersAndPostedWorkAreServedFromTheLoop) {
    openWindow();
    struct Listener : UserInterface::Listener {
        std::atomic<int> received{0};
        void eventReceived(int, int) override { ++received; }
        void showHint(const std::string&) override {}
    } listener;
    ui->addListener(&listener);
    // Posted from another thread, delivered by the housekeeping tick on this one.
    std::thread poster([&] { ui->postEvent(7, 1); });
    poster.join();
    EXPECT_TRUE(pumpUntil([&] { return listener.received.load() == 1; }, 1000));

    // A watched descriptor wakes the loop: an async queue's work runs on this thread.
    auto queue = AsyncEventQueue::create();
    int delivered = 0;
    system->watch(queue->eventFd(), [&] { delivered += queue->dispatchPending(); });
    std::thread other([&] { queue->post(1, nullptr); });
    other.join();
    EXPECT_TRUE(pumpUntil([&] { return delivered == 1; }, 1000));
    system->unwatch(queue->eventFd());
    ui->removeListener(&listener);
}

TEST_F(X11WindowTest, ScreenshotEqualsTheSoftwareSnapshotWithAndWithoutSharedMemory) {
    for (const bool shared : {true, false}) {
        SCOPED_TRACE(shared ? "MIT-SHM" : "plain image");
        if (!shared) system->disableSharedMemory();
        if (shared && !system->hasSharedMemory()) continue;
        openWindow();
        buildTree(*ui, root());
        const int presented = window().presentCount();
        ASSERT_TRUE(pumpUntil([&] { return window().presentCount() > presented; }));
        settle();

        Bitmap expected;
        expected.setSize(200, 100);
        root().paintTree(expected.canvas());
        XClient reader(server.display());
        const std::unique_ptr<Bitmap> shot = reader.grab(window().id(), 200, 100);
        ASSERT_EQ(shot->width(), 200);
        int differing = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                if ((shot->pixel(x, y) & 0xffffff) != (expected.pixel(x, y) & 0xffffff)) ++differing;
        EXPECT_EQ(differing, 0);
        ui.reset();
    }
}

TEST_F(X11WindowTest, ChildOfAForeignParentFollowsResizesBothWays) {
    // The host: another client with a top-level window that hears the keys passed on to it.
    XClient host(server.display());
    ASSERT_TRUE(host.isOpen());
    const unsigned long parent = host.createHostWindow(400, 300);

    openWindow(Rect{10, 10, 210, 110}, reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));
    EXPECT_EQ(host.geometry(window().id()), (Rect{10, 10, 210, 110}));

    // The host resizes the editor window.
    host.resize(window().id(), 300, 150);
    ASSERT_TRUE(pumpUntil([&] { return root().width() == 300; }));
    EXPECT_EQ(root().height(), 150);

    // The toolkit asks for a new size: the window follows and keeps its place.
    root().bounds = Rect{10, 10, 260, 90};
    settle();
    EXPECT_EQ(host.geometry(window().id()), (Rect{10, 10, 260, 90}));

    // Keys typed into the editor reach the host's window.
    ASSERT_TRUE(at(30, 30, {"key", "a"}));
    EXPECT_TRUE(pumpUntil([&] { return host.receivedKeyPress(); }, 2000));
    ui.reset();
}

TEST_F(X11WindowTest, ClosedWindowsLeaveNoServerResourcesBehind) {
    openWindow();  // stays open: names our client to the server's resource count
    XClient counter(server.display());
    auto cycle = [&](int windows) {
        for (int i = 0; i < windows; ++i) {
            // Shown and presented once, with a timer running, then closed.
            auto other = std::make_unique<WindowInterface>(*system, nullptr, Rect{0, 0, 64 + i % 7, 48});
            other->getRootControl()->invalidateAll();
            system->processEvents(0);
            other->windowControl()->paintWindow(other->getRootControl()->localRect());
            other.reset();
            system->processEvents(0);
        }
        system->sync();
        return counter.resourcesOfClientOwning(window().id());
    };
    const long warm = cycle(10);
    if (warm < 0) GTEST_SKIP() << "the server does not count resources";
    EXPECT_EQ(cycle(200), warm);
}

}  // namespace
}  // namespace gui::test
