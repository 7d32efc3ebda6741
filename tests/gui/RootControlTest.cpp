#include <algorithm>

#include "GuiFixture.h"
#include "gui/RootControl.h"
#include "gui/Timer.h"
#include "gui/native/WindowMessageHook.h"

namespace gui::test {
namespace {

class RootControlTest : public GuiFixture {};

TEST_F(RootControlTest, PressReleasedOutsideGoesToCapturedControlWithoutClick) {
    Probe* button = probe("button", {10, 10, 50, 30});
    window().moveMouse(20, 20);
    window().pressButton(0, 20, 20);
    EXPECT_EQ(root().captureControl(), button);
    EXPECT_TRUE(window().hasCapture());
    window().moveMouse(150, 80, native::ButtonLeft);
    takeLog();
    window().releaseButton(0, 150, 80);
    EXPECT_EQ(takeLog(), (Log{"button:up0@140,70"}));
    EXPECT_EQ(root().captureControl(), nullptr);
    EXPECT_FALSE(window().hasCapture());

    system.advance(600);  // no double-click with the first press
    window().moveMouse(20, 20);
    window().click(20, 20);
    EXPECT_EQ(takeLog(), (Log{"button:down0@10,10", "button:up0@10,10", "button:click"}));
}

TEST_F(RootControlTest, DoubleClickGivesOneClickAndOneDoubleClick) {
    probe("b", {10, 10, 50, 30});
    window().moveMouse(20, 20);
    takeLog();
    window().click(20, 20);
    system.advance(100);
    window().click(21, 20);
    const Log events = takeLog();
    EXPECT_EQ(std::count(events.begin(), events.end(), "b:click"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "b:double"), 1);

    // A third press is a single press again; a slow second press is no double-click.
    window().click(21, 20);
    system.advance(600);
    window().click(21, 20);
    const Log later = takeLog();
    EXPECT_EQ(std::count(later.begin(), later.end(), "b:click"), 2);
    EXPECT_EQ(std::count(later.begin(), later.end(), "b:double"), 0);
}

TEST_F(RootControlTest, DoubleClickRespectsDistanceAndCanBeDisabled) {
    Probe* b = probe("b", {10, 10, 150, 30});
    window().moveMouse(20, 20);
    window().click(20, 20);
    window().click(30, 20);  // too far for a double-click
    EXPECT_FALSE(b->lastFlags & Control::DoubleClick);
    b->doubleClickEnabled = false;
    window().click(30, 20);
    EXPECT_TRUE(b->lastFlags & Control::DoubleClick);
    const Log events = takeLog();
    EXPECT_EQ(std::count(events.begin(), events.end(), "b:double"), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "b:click"), 3);
}

TEST_F(RootControlTest, RightButtonPressGivesRightClickAndNoCapture) {
    probe("b", {10, 10, 50, 30});
    window().moveMouse(20, 20);
    takeLog();
    window().click(20, 20, 0, native::RightButton);
    EXPECT_EQ(takeLog(), (Log{"b:down1@10,10", "b:up1@10,10", "b:rightclick"}));
    EXPECT_EQ(root().captureControl(), nullptr);
}

TEST_F(RootControlTest, CaptureLossEndsThePressWithoutClick) {
    Probe* b = probe("b", {10, 10, 50, 30});
    window().moveMouse(20, 20);
    window().pressButton(0, 20, 20);
    takeLog();
    window().loseCapture();
    EXPECT_EQ(takeLog(), (Log{"b:up0@-1,-1"}));
    EXPECT_EQ(root().captureControl(), nullptr);
    EXPECT_FALSE(root().isButtonHeld());
    EXPECT_EQ(b->captureState(), Control::NoCapture);
    // The release that follows reaches the control as a plain release.
    window().releaseButton(0, 20, 20);
    EXPECT_EQ(takeLog(), (Log{"b:up0@10,10"}));
}

TEST_F(RootControlTest, DestroyingCapturedControlReleasesCapture) {
    Probe* b = probe("b", {10, 10, 50, 30});
    window().moveMouse(20, 20);
    window().pressButton(0, 20, 20);
    delete b;
    EXPECT_EQ(root().captureControl(), nullptr);
    EXPECT_EQ(root().eventTarget(), &root());
    EXPECT_FALSE(window().hasCapture());
    window().releaseButton(0, 20, 20);  // reaches the root, no crash
}

TEST_F(RootControlTest, HoverEntersAndExitsAlongThePointer) {
    Probe* a = probe("a", {0, 0, 50, 50});
    Probe* inner = probe("inner", {10, 10, 20, 20}, a);
    Probe* b = probe("b", {60, 0, 100, 50});
    window().moveMouse(5, 5);
    window().moveMouse(15, 15);
    window().moveMouse(70, 10);
    EXPECT_EQ(takeLog(), (Log{"a:enter", "inner:enter", "inner:exit", "a:exit", "b:enter"}));
    EXPECT_EQ(root().hoverTarget(), b);
    EXPECT_EQ(a->hoverTarget(), nullptr);
    EXPECT_EQ(inner->hoverTarget(), nullptr);
}

TEST_F(RootControlTest, LeavingTheWindowClearsHoverWithinOneHousekeepingTick) {
    probe("a", {0, 0, 50, 50});
    window().moveMouse(5, 5);
    takeLog();
    window().moveCursorOutside();
    system.advance(50);
    EXPECT_EQ(takeLog(), (Log{"a:exit"}));
    EXPECT_EQ(root().hoverTarget(), nullptr);
    window().moveMouse(5, 5);
    EXPECT_EQ(takeLog(), (Log{"a:enter"}));
}

TEST_F(RootControlTest, HoverIsKeptWhileCaptured) {
    probe("a", {0, 0, 50, 50});
    window().moveMouse(5, 5);
    window().pressButton(0, 5, 5);
    takeLog();
    window().moveCursorOutside();
    system.advance(200);
    EXPECT_EQ(takeLog(), Log{});
}

TEST_F(RootControlTest, MouseHookCanVetoAPress) {
    struct Hook : UserInterface::MouseHook {
        bool allow = false;
        std::vector<Point> seen;
        bool mousePressed(int, Point p, int) override {
            seen.push_back(p);
            return allow;
        }
    } hook;
    ui->setMouseHook(&hook);
    probe("b", {10, 10, 50, 30});
    window().pressButton(0, 20, 20);
    EXPECT_EQ(takeLog(), Log{});  // not even hover
    EXPECT_EQ(root().captureControl(), nullptr);
    window().releaseButton(0, 20, 20);
    takeLog();
    hook.allow = true;  // the swallowed press does not pair up with this one
    window().pressButton(0, 20, 20);
    EXPECT_EQ(takeLog(), (Log{"b:down0@10,10"}));
    EXPECT_EQ(hook.seen.back(), (Point{20, 20}));
    ui->setMouseHook(nullptr);
}

TEST_F(RootControlTest, PressFocusesThePathToTheRoot) {
    Probe* a = probe("a", {0, 0, 50, 50});
    Probe* inner = probe("inner", {10, 10, 20, 20}, a);
    window().click(15, 15);
    EXPECT_EQ(root().focusChild(), a);
    EXPECT_EQ(a->focusChild(), inner);
    EXPECT_TRUE(window().hasFocus());
}

TEST_F(RootControlTest, SingleWheelNotchGivesBeginChangeAndLaterEnd) {
    Probe* w = probe("w", {10, 10, 60, 60});
    w->handlesWheel = true;
    window().moveMouse(20, 20);
    takeLog();
    window().turnWheel(1, 20, 20);
    EXPECT_EQ(takeLog(), (Log{"w:wheel0", "w:wheel1"}));
    EXPECT_EQ(w->captureState(), Control::WheelCapture);
    ASSERT_EQ(w->wheels.size(), 2u);
    EXPECT_EQ(w->wheels[0].pixelsY, 0.0f);
    EXPECT_FLOAT_EQ(w->wheels[1].pixelsY, 25.0f);
    EXPECT_EQ(w->wheels[1].point, (Point{10, 10}));
    system.advance(499);
    EXPECT_EQ(takeLog(), Log{});
    system.advance(1);
    EXPECT_EQ(takeLog(), (Log{"w:wheel2"}));
    EXPECT_EQ(w->wheels.back().point, (Point{0, 0}));
}

// A wheel over a control that never had the hover (no pointer move came first, as right after a
// menu closed) takes no capture; its gesture's end still reaches it, and not the control that lies
// at the root's origin.
TEST_F(RootControlTest, AGestureWithoutTheCaptureEndsAtTheControlThatHandledIt) {
    Probe* corner = probe("corner", {0, 0, 10, 10});
    corner->handlesWheel = true;
    Probe* w = probe("w", {20, 20, 60, 60});
    w->handlesWheel = true;
    takeLog();
    window().turnWheel(1, 30, 30);
    EXPECT_NE(w->captureState(), Control::WheelCapture);
    system.advance(500);
    const Log log = takeLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "w:wheel2");
    EXPECT_EQ(std::count(log.begin(), log.end(), "corner:wheel2"), 0);
}

// The control that handled a gesture can go away before the gesture ends: the end reaches nobody
// gone (under AddressSanitizer a dangling call would be reported).
TEST_F(RootControlTest, AWheelControlDestroyedMidGestureIsForgotten) {
    Probe* w = probe("w", {20, 20, 60, 60});
    w->handlesWheel = true;
    window().turnWheel(1, 30, 30);
    delete w;
    takeLog();
    system.advance(500);
    EXPECT_EQ(takeLog(), Log{});
}

TEST_F(RootControlTest, FurtherNotchesRestartTheGestureTimer) {
    Probe* w = probe("w", {10, 10, 60, 60});
    w->handlesWheel = true;
    window().moveMouse(20, 20);
    takeLog();
    window().turnWheel(1, 20, 20);
    system.advance(300);
    window().turnWheel(-1, 20, 20);
    system.advance(300);
    EXPECT_EQ(takeLog(), (Log{"w:wheel0", "w:wheel1", "w:wheel1"}));
    system.advance(200);
    EXPECT_EQ(takeLog(), (Log{"w:wheel2"}));
    EXPECT_LT(w->wheels[2].speedY, 0.0f);
    EXPECT_FALSE(root().wheelGestureTimer()->running);
}

TEST_F(RootControlTest, WheelSpeedComesFromTheTimeBetweenNotches) {
    Probe* w = probe("w", {0, 0, 100, 100});
    w->handlesWheel = true;
    window().moveMouse(20, 20);
    window().turnWheel(1, 20, 20);
    system.advance(5);
    window().turnWheel(1, 20, 20);
    system.advance(40);
    window().turnWheel(1, 20, 20);
    system.advance(5);
    window().turnWheel(30, 20, 20);  // a fast spin is clamped to 1
    std::vector<float> speeds;
    for (const auto& c : w->wheels)
        if (c.phase == 1) speeds.push_back(c.speedY);
    ASSERT_EQ(speeds.size(), 4u);
    EXPECT_FLOAT_EQ(speeds[0], 0.1f * 10.0f / 500.0f);  // the first notch counts as slow
    EXPECT_FLOAT_EQ(speeds[1], 0.1f);                   // 5 ms apart: clamped to 10 ms
    EXPECT_FLOAT_EQ(speeds[2], 0.1f * 10.0f / 40.0f);
    EXPECT_FLOAT_EQ(speeds[3], 1.0f);
}

TEST_F(RootControlTest, ShiftCtrlVerticalWheelScrollsHorizontallyWithoutThoseFlags) {
    Probe* w = probe("w", {0, 0, 100, 100});
    w->handlesWheel = true;
    window().moveMouse(20, 20);
    window().turnWheel(1, 20, 20, native::KeyShift | native::KeyCtrl | native::KeyAlt);
    const auto& change = w->wheels.back();
    EXPECT_EQ(change.phase, 1);
    EXPECT_FLOAT_EQ(change.pixelsX, 25.0f);
    EXPECT_EQ(change.pixelsY, 0.0f);
    EXPECT_EQ(change.flags, Control::Alt);
    window().turnWheel(-1, 20, 20, native::KeyShift);
    EXPECT_FLOAT_EQ(w->wheels.back().pixelsY, -25.0f);
    EXPECT_EQ(w->wheels.back().flags, Control::Shift);
}

TEST_F(RootControlTest, WheelCaptureEndsWhenThePointerDriftsMoreThanFourPixels) {
    Probe* a = probe("a", {0, 0, 50, 100});
    Probe* b = probe("b", {50, 0, 100, 100});
    a->handlesWheel = true;
    window().moveMouse(40, 20);
    window().turnWheel(1, 40, 20);
    EXPECT_EQ(root().captureControl(), a);
    // Drifting onto b within 4 pixels keeps the wheel on a.
    window().moveMouse(44, 24);
    window().turnWheel(1, 52, 24);
    EXPECT_EQ(root().captureControl(), a);
    EXPECT_EQ(a->wheels.back().point, (Point{52, 24}));
    takeLog();
    window().moveMouse(56, 24);
    EXPECT_EQ(root().captureControl(), nullptr);
    EXPECT_EQ(takeLog(), (Log{"a:wheel2"}));  // losing the capture ends the running gesture
    window().moveMouse(57, 24);
    EXPECT_EQ(takeLog(), (Log{"a:exit", "b:enter"}));
    (void)b;
}

TEST_F(RootControlTest, UnhandledWheelIsIgnoredAndTinyDistancesDoNothing) {
    Probe* a = probe("a", {0, 0, 50, 100});
    window().moveMouse(10, 10);
    window().turnWheel(1, 10, 10);
    EXPECT_EQ(root().captureControl(), nullptr);
    EXPECT_FALSE(root().wheelGestureTimer()->running);
    a->handlesWheel = true;
    window().turnWheel(0.001f, 10, 10);  // rounds to a zero delta
    EXPECT_TRUE(a->wheels.empty());
}

TEST_F(RootControlTest, DefaultWheelPrefersStepsOverScrolling) {
    struct Stepper : Control {
        using Control::Control;
        bool steps = true;
        std::vector<std::string> calls;
        bool wheelStep(int, float, int axis) override {
            calls.push_back("step" + std::to_string(axis));
            return steps;
        }
        bool wheelScroll(int, float, int axis) override {
            calls.push_back("scroll" + std::to_string(axis));
            return true;
        }
    };
    auto* s = new Stepper(ui.get());
    s->bounds = {0, 0, 100, 100};
    s->parent = &root();
    EXPECT_TRUE(s->wheel(1, {}, 0, 0, 0.5f, 0, 25));
    EXPECT_EQ(s->calls, (std::vector<std::string>{"step1"}));
    s->calls.clear();
    s->steps = false;
    EXPECT_TRUE(s->wheel(1, {}, 0, 0.5f, 0, 25, 0));
    EXPECT_EQ(s->calls, (std::vector<std::string>{"step0", "scroll0"}));
    EXPECT_FALSE(s->wheel(0, {}, 0, 0.5f, 0.5f, 25, 25));
}

TEST_F(RootControlTest, ModifierFlagsComeFromTheKeyState) {
    Probe* b = probe("b", {0, 0, 200, 100});
    struct Case {
        int keyState;
        int flags;
    };
    const Case cases[] = {
        {0, Control::LeftButton},
        {native::KeyShift, Control::Shift | Control::LeftButton},
        {native::KeyCtrl | native::KeyAlt, Control::Ctrl | Control::Alt | Control::LeftButton},
        {native::KeySystem | native::ButtonMiddle,
         Control::SystemKey | Control::MiddleButton | Control::LeftButton},
        {native::ButtonRight, Control::RightButton | Control::LeftButton},
    };
    int x = 10;
    for (const Case& c : cases) {
        x += 20;  // far enough apart that no press is a double-click
        window().pressButton(0, x, 50, c.keyState);
        EXPECT_EQ(b->lastFlags, c.flags) << c.keyState;
        window().releaseButton(0, x, 50);
    }
}

TEST_F(RootControlTest, MessageHookAdjustsModifiers) {
    struct Hook : WindowMessageHook {
        void adjustModifiers(int& flags) override { flags |= Control::HostModifier; }
    } hook;
    ui->setMessageHook(&hook);
    Probe* b = probe("b", {0, 0, 100, 100});
    window().click(10, 10);
    EXPECT_EQ(b->lastFlags, Control::LeftButton | Control::HostModifier);
    ui->setMessageHook(nullptr);
}

TEST_F(RootControlTest, RepaintPresentsThePendingRectangle) {
    Probe* a = probe("a", {10, 10, 30, 30});
    system.pump();
    const int presents = window().presentCount();
    a->paintClips.clear();
    a->invalidate({0, 0, 5, 5});
    EXPECT_EQ(window().invalidArea(), (Rect{10, 10, 15, 15}));
    EXPECT_EQ(root().pendingWindowRect(), (Rect{10, 10, 15, 15}));
    system.pump();
    EXPECT_EQ(window().presentCount(), presents + 1);
    EXPECT_TRUE(root().pendingWindowRect().isEmpty());
    ASSERT_EQ(a->paintClips.size(), 1u);
    EXPECT_EQ(a->paintClips[0], (Rect{0, 0, 5, 5}));
    // The background outside any control is the plain grey.
    EXPECT_EQ(window().snapshot().colourAt(150, 80), (Rgba{192, 192, 192, 255}));
}

TEST_F(RootControlTest, ParentResizeRelaysOutTheTree) {
    Probe* stretch = probe("s", {0, 0, 200, 20});
    stretch->layoutFlags = Control::AttachLeft | Control::AttachRight;
    window().resizeFromParent({0, 0, 300, 100});
    EXPECT_EQ(root().width(), 300);
    EXPECT_EQ(stretch->bounds.get(), (Rect{0, 0, 300, 20}));
    system.pump();
    EXPECT_EQ(window().snapshot().width(), 300);
}

}  // namespace
}  // namespace gui::test
