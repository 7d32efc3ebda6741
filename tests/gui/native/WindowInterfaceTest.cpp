#include <thread>

#include "GuiFixture.h"
#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"
#include "gui/Timer.h"
#include "gui/native/WindowControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/WindowTimer.h"

namespace gui::test {
namespace {

class WindowInterfaceTest : public GuiFixture {};

TEST_F(WindowInterfaceTest, WindowStartsWithHousekeepingAndFocusAndTimersGetIdsFromTwo) {
    EXPECT_TRUE(window().isTimerRunning(WindowControl::kHousekeepingTimerId));
    EXPECT_TRUE(window().hasFocus());
    auto* first = static_cast<WindowTimer*>(ui->createTimer());
    auto* second = static_cast<WindowTimer*>(ui->createTimer());
    EXPECT_EQ(first->platformId(), 0);
    second->running = true;
    first->running = true;
    EXPECT_EQ(second->platformId(), 2);
    EXPECT_EQ(first->platformId(), 3);
    EXPECT_TRUE(window().isTimerRunning(3));
    first->running = false;
    EXPECT_FALSE(window().isTimerRunning(3));
    first->running = true;
    EXPECT_EQ(first->platformId(), 3);  // the id stays with the timer
    EXPECT_EQ(ui->runningTimerCount(), 2u);
    delete first;
    EXPECT_FALSE(window().isTimerRunning(3));
    EXPECT_EQ(ui->runningTimerCount(), 1u);
}

TEST_F(WindowInterfaceTest, FrameSynchronizedTimersTickPerFrameWhenAccelerated) {
    ui->accelerated = true;
    Timer* timer = ui->createTimer();
    int ticks = 0;
    struct Counter {
        int* n;
        void tick(void*) { ++*n; }
    } counter{&ticks};
    timer->firedEvent.addHandler(&counter, &Counter::tick);
    timer->interval = 16;
    timer->frameSynchronized = true;
    timer->running = true;
    EXPECT_EQ(ui->runningTimerCount(), 0u);  // no platform timer
    ui->tickFrameTimers();
    ui->tickFrameTimers();
    EXPECT_EQ(ticks, 2);
    timer->frameSynchronized = false;  // back to the platform timer
    EXPECT_EQ(ui->runningTimerCount(), 1u);
    ui->tickFrameTimers();
    EXPECT_EQ(ticks, 2);
    system.advance(16);
    EXPECT_EQ(ticks, 3);
}

TEST_F(WindowInterfaceTest, NestedMessagesTakeTheLockOnceAndModalLoopsReleaseIt) {
    RootControl& r = root();
    r.enterMessage();
    r.enterMessage();
    EXPECT_EQ(r.lockDepth(), 2);
    const int depth = r.releaseLockCompletely();
    EXPECT_EQ(depth, 2);
    std::thread renderer([&] {
        r.enter();  // the render thread gets in while the modal loop runs
        r.leave();
    });
    renderer.join();
    r.restoreLock(depth);
    EXPECT_EQ(r.lockDepth(), 2);
    r.leaveMessage();
    r.leaveMessage();
    EXPECT_EQ(r.lockDepth(), 0);
    std::thread after([&] {
        r.enter();
        r.leave();
    });
    after.join();
}

// A window system whose menu loop checks that the root's lock is free while it runs.
class LockCheckingSystem : public native::HeadlessWindowSystem {
public:
    RootControl* root = nullptr;
    int depthSeen = -1;
    bool otherThreadGotIn = false;
    int trackPopupMenu(native::Window& w, const std::vector<native::MenuEntry>& e, Point at) override {
        depthSeen = root->lockDepth();
        std::thread other([&] {
            root->enter();
            otherThreadGotIn = true;
            root->leave();
        });
        other.join();
        return HeadlessWindowSystem::trackPopupMenu(w, e, at);
    }
};

TEST(WindowInterfaceLockTest, AcceleratedMessagesHoldTheLockExceptDuringAMenu) {
    LockCheckingSystem system;
    WindowInterface ui(system, nullptr, Rect{0, 0, 100, 100});
    ui.accelerated = true;
    system.root = ui.getRootControl();
    std::unique_ptr<PopupMenu> menu = ui.createPopupMenu();
    menu->addItem(new MenuItem("Item"));
    struct Shower {
        PopupMenu* menu;
        RootControl* root;
        int depthInClick = -1;
        void click(void*) {
            depthInClick = root->lockDepth();
            menu->show({});
        }
    } shower{menu.get(), ui.getRootControl()};
    auto* button = new Control(&ui);
    button->bounds = Rect{0, 0, 50, 50};
    button->parent = ui.getRootControl();
    button->clickEvent.addHandler(&shower, &Shower::click);
    system.windows().front()->click(10, 10);
    EXPECT_EQ(shower.depthInClick, 1);
    EXPECT_EQ(system.depthSeen, 0);
    EXPECT_TRUE(system.otherThreadGotIn);
    EXPECT_EQ(ui.getRootControl()->lockDepth(), 0);
}

TEST(WindowInterfaceLockTest, ReleaseForShutdownLetsAMessageDestroyTheWindow) {
    native::HeadlessWindowSystem system;
    auto* ui = new WindowInterface(system, nullptr, Rect{0, 0, 100, 100});
    ui->accelerated = true;
    struct Closer {
        WindowInterface* ui;
        int depth = -1;
        bool otherThreadGotIn = false;
        void pressed(void*) {
            RootControl* root = ui->getRootControl();
            depth = root->lockDepth();
            root->releaseForShutdown();
            std::thread other([&] {
                root->enter();
                otherThreadGotIn = true;
                root->leave();
            });
            other.join();
            delete ui;  // the message handler must leave the dead root's lock alone
        }
    } closer{ui};
    auto* button = new Control(ui);
    button->bounds = Rect{0, 0, 50, 50};
    button->parent = ui->getRootControl();
    button->mouseDownEvent.addHandler(&closer, &Closer::pressed);
    system.windows().front()->pressButton(0, 10, 10);
    EXPECT_EQ(closer.depth, 1);
    EXPECT_TRUE(closer.otherThreadGotIn);
    EXPECT_TRUE(system.windows().empty());
}

TEST(UpdatedObjectTest, DeferredNotificationsFireOncePerUpdate) {
    struct Object : UpdatedObject {
        int updates = 0;
        void update() override {
            ++updates;
            UpdatedObject::update();
        }
    } object;
    NotifyEvent changed;
    int fired = 0;
    struct Counter {
        int* n;
        void on(void*) { ++*n; }
    } counter{&fired};
    changed.addHandler(&counter, &Counter::on);
    const int handle = object.addDeferredNotification(changed, &object);
    object.beginUpdate();
    object.beginUpdate();
    object.notifyDeferred(handle);
    object.notifyDeferred(handle);
    object.endUpdate();
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(object.isUpdatePending());
    object.endUpdate();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(object.updates, 1);
    object.notifyDeferred(handle);
    EXPECT_EQ(fired, 2);
    object.requestUpdate();  // nothing pending: updates, fires nothing
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(object.updates, 3);
}

}  // namespace
}  // namespace gui::test
