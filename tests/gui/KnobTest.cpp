// The knob driven through the headless window: drag and wheel figures, the double-click guard,
// the ends of the range, modifier actions under both tables, linked groups and the rotary drag.

#include <cmath>
#include <numbers>

#include "ValueControlFixture.h"
#include "gui/Animator.h"
#include "gui/Knob.h"

namespace gui::test {
namespace {

class KnobTest : public ValueControlFixture {
protected:
    // A 40 x 40 knob at (50, 20); its centre is (70, 40) in the window.
    Knob* makeKnob(bool body = true) {
        auto* style = new Knob::Style(ui.get());
        style->images[Knob::Pointer] = picture(40, 40, {0, 0, 0, 0});
        if (body) style->images[Knob::Body] = picture(40, 40);
        style->innerRadius = 10;
        style->outerRadius = 20;
        auto* k = new Knob(ui.get(), style);
        k->setPosition({50, 20});
        k->parent = &root();
        return k;
    }
    // The window point at an angle (turns from 12 o'clock) on a circle around the knob's centre.
    static Point onRing(float angle, float radius = 15.0f) {
        const double a = angle * 2.0 * std::numbers::pi;
        return {70 + static_cast<int>(std::lround(radius * std::sin(a))),
                40 - static_cast<int>(std::lround(radius * std::cos(a)))};
    }
    struct Step {
        uint32_t waitMs;
        int up;  // pixels upward
    };
    // Presses at the centre, moves as told and releases; answers the value before the release.
    int drag(Knob* k, const std::vector<Step>& steps, int keys = 0) {
        int y = 40;
        press(70, y, keys);
        for (const Step& s : steps) {
            wait(s.waitMs);
            y -= s.up;
            move(70, y, keys);
        }
        const int v = k->value;
        release(70, y, keys);
        return v;
    }
};

TEST_F(KnobTest, DragFiguresWithAndWithoutAcceleration) {
    struct Case {
        const char* name;
        bool accelerate;
        int keys;
        std::vector<Step> steps;
        int change;
    };
    std::vector<Step> manySmall(100, Step{50, 1});
    const Case cases[] = {
        // 2 px in 50 ms: 4096 x (0.04 x 10 x 0.9 + 0.1) x 2 / 200 = 18.84, the 0.84 carried.
        {"slow", true, 0, {{50, 2}}, 18},
        {"slow twice", true, 0, {{50, 2}, {50, 2}}, 37},
        // 100 px per second or faster: a pixel is a full step, 4096 / 200 = 20.48 per pixel.
        {"fast", true, 0, {{20, 10}}, 204},
        {"fast down", true, 0, {{20, -10}}, -204},
        {"fine", true, kShift, {{20, 10}}, 20},
        {"fine slow", true, kShift, {{500, 10}}, 20},
        {"unaccelerated slow", false, 0, {{500, 10}}, 204},
        // 5.7344 per move: without the carried fraction a hundred moves would give 500.
        {"carried fraction", true, 0, manySmall, 573},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Knob* k = makeKnob();
        k->doubleClickEnabled = false;
        k->accelerate = c.accelerate;
        k->value = 1000;
        EXPECT_EQ(drag(k, c.steps, c.keys) - 1000, c.change);
        delete k;
    }
}

TEST_F(KnobTest, DoubleClickGuardHoldsWithinFourPixelsUntilTheDoubleClickTime) {
    Knob* k = makeKnob();
    k->value = 1000;
    press(70, 40);
    wait(100);
    move(70, 36);  // 4 px: still a possible double-click
    EXPECT_EQ(k->value, 1000);
    wait(100);
    move(70, 35);  // 5 px: the drag starts
    EXPECT_GT(k->value, 1000);
    release(70, 35);

    wait(600);  // so that the next press is no double-click
    k->value = 1000;
    press(70, 40);
    wait(600);  // past the double-click time
    move(70, 38);
    EXPECT_GT(k->value, 1000);
    release(70, 38);
}

TEST_F(KnobTest, StopsAtTheEndAndTheFirstMoveBackLowersTheValue) {
    Knob* k = makeKnob();
    k->doubleClickEnabled = false;
    k->value = 4000;
    press(70, 40);
    wait(20);
    move(70, 30);
    EXPECT_EQ(k->value, 4096);
    wait(20);
    move(70, 10);
    EXPECT_EQ(k->value, 4096);
    EXPECT_EQ(k->accumulatedValue(), 4096);  // the dry run kept the accumulator at the end
    wait(20);
    move(70, 11);  // 1 px in 20 ms: 4096 x 0.55 / 200 = 11.26 down, less the 0.6 carried
    EXPECT_EQ(k->value, 4086);
    release(70, 11);
}

TEST_F(KnobTest, ResetUnderBothModifierTables) {
    struct Case {
        const char* name;
        bool hostTable;
        int keys;
        bool resets;
    };
    const Case cases[] = {
        {"default Ctrl", false, kCtrl, true},
        {"default Alt", false, kAlt, false},
        {"default Ctrl+Shift matches nothing", false, kCtrl | kShift, false},
        {"host Alt", true, kAlt, true},
        {"host Ctrl", true, kCtrl, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModifierMap::useDefaults();
        if (c.hostTable) ModifierMap::useHostShortcuts();
        Knob* k = makeKnob();
        k->doubleClickEnabled = false;
        k->defaultValue = 2048;
        k->value = 1000;
        press(70, 40, c.keys);
        EXPECT_EQ(k->value, c.resets ? 2048 : 1000);
        wait(20);
        move(70, 30, c.keys);
        if (c.resets) {
            EXPECT_EQ(k->value, 2048);  // no drag after a reset
            EXPECT_EQ(k->dragMode(), Knob::NoDrag);
        } else {
            EXPECT_NE(k->value, 1000);
        }
        release(70, 30, c.keys);
        delete k;
    }
    // Ctrl+Shift under the default table is an ordinary drag, not a fine one.
    ModifierMap::useDefaults();
    Knob* k = makeKnob();
    k->doubleClickEnabled = false;
    k->value = 1000;
    EXPECT_EQ(drag(k, {{20, 10}}, kCtrl | kShift), 1204);
}

TEST_F(KnobTest, LinkedDragMovesTheGroupUnderBothTables) {
    struct Case {
        const char* name;
        bool hostTable;
        int keys;
        bool inverted;
        int up;
        int change;        // of the dragged knob
        int memberChange;  // of the other two
    };
    const Case cases[] = {
        {"default Alt", false, kAlt, false, 5, 102, 102},
        {"default Alt inverted", false, kAlt, true, 5, 102, -102},
        {"default Shift+Alt fine and linked", false, kShift | kAlt, false, 50, 102, 102},
        {"default Shift fine alone", false, kShift, false, 50, 102, 0},
        {"host Shift", true, kShift, false, 5, 102, 102},
        {"host Ctrl+Shift fine and linked", true, kCtrl | kShift, false, 50, 102, 102},
        {"host Alt resets, moves nothing", true, kAlt, false, 5, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModifierMap::useDefaults();
        if (c.hostTable) ModifierMap::useHostShortcuts();
        Knob* a = makeKnob();
        Knob* b = makeKnob();
        Knob* d = makeKnob();
        b->setPosition({100, 20});
        d->setPosition({150, 20});
        for (Knob* k : {a, b, d}) {
            k->doubleClickEnabled = false;
            k->accelerate = false;
            k->defaultValue = 2000;
            k->value = 2000;
        }
        a->joinGroup(b);
        d->joinGroup(a);
        a->setGroupInverted(c.inverted);
        EditRecorder member;
        b->setListener(&member);
        drag(a, {{20, c.up}}, c.keys);
        EXPECT_EQ(a->value - 2000, c.change);
        EXPECT_EQ(b->value - 2000, c.memberChange);
        EXPECT_EQ(d->value - 2000, c.memberChange);
        // A member that followed had one edit of its own.
        EXPECT_EQ(member.count(0), c.memberChange != 0 ? 1 : 0);
        EXPECT_EQ(member.count(2), member.count(0));
        EXPECT_FALSE(b->isEditing());
        delete a;
        delete b;
        delete d;
    }
}

TEST_F(KnobTest, OneGestureIsOneEdit) {
    Knob* k = makeKnob();
    k->doubleClickEnabled = false;
    k->value = 1000;
    EditRecorder recorder;
    k->setListener(&recorder);
    int began = 0, ended = 0;
    struct Counter {
        int* n;
        void hit(void*) { ++*n; }
    } b{&began}, e{&ended};
    k->editBeganEvent.addHandler(&b, &Counter::hit);
    k->editEndedEvent.addHandler(&e, &Counter::hit);
    drag(k, std::vector<Step>(10, Step{30, 3}));
    EXPECT_EQ(began, 1);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(recorder.count(0), 1);
    EXPECT_EQ(recorder.count(1), 10);
    EXPECT_EQ(recorder.count(2), 1);
    EXPECT_EQ(recorder.calls.front().phase, 0);
    EXPECT_EQ(recorder.calls.back().phase, 2);
}

TEST_F(KnobTest, WheelRules) {
    struct Notch {
        uint32_t waitMs;
        float notches;
        int value;  // after the notch
    };
    struct Case {
        const char* name;
        int maximum;
        int start;
        std::vector<Notch> notches;
        int sweep = 300;
        int offset = 0;
    };
    const Case cases[] = {
        // Three positions: a new direction always moves one step; the same direction creeps.
        {"three positions", 2, 0, {{0, 1, 1}, {100, 1, 1}, {100, -1, 0}, {100, -1, 0}, {600, 1, 1}}},
        // 4096 steps: range x speed; a slow first notch is 0.002, one 100 ms later 0.01; the
        // fraction carries (8.192, then 40.96 + 0.192, then -40.96 + 0.152).
        {"4096 steps", 4096, 1000, {{0, 1, 1008}, {100, 1, 1049}, {100, -1, 1009}}},
        // A small knob whose sweep lies left of its offset turns the other way.
        {"reversed small arc", 2, 1, {{0, 1, 0}}, 70, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Knob* k = makeKnob();
        k->maximum = c.maximum;
        k->sweep = c.sweep;
        k->rotationOffset = c.offset;
        k->value = c.start;
        move(70, 40);
        int i = 0;
        for (const Notch& n : c.notches) {
            SCOPED_TRACE(i++);
            wait(n.waitMs);
            notch(n.notches, 70, 40);
            EXPECT_EQ(k->value, n.value);
        }
        wait(600);
        EXPECT_FALSE(k->isEditing());
        delete k;
    }
}

TEST_F(KnobTest, WheelIsSwallowedWhileDragging) {
    Knob* k = makeKnob();
    k->value = 1000;
    EditRecorder recorder;
    k->setListener(&recorder);
    press(70, 40);
    notch(1, 70, 40);
    EXPECT_EQ(k->value, 1000);
    release(70, 40);
    wait(600);
    EXPECT_EQ(recorder.count(0), 1);
    EXPECT_EQ(recorder.count(2), 1);
}

TEST_F(KnobTest, AnglesAtMinimumCentreAndMaximum) {
    struct Case {
        int sweep, offset, value;
        float angle;
    };
    const Case cases[] = {
        {300, 0, 0, 210.0f / 360.0f},  // 30 degrees left of 6 o'clock
        {300, 0, 2048, 0.0f},          // 12 o'clock
        {300, 0, 4096, 150.0f / 360.0f},
        {70, 90, 0, 55.0f / 360.0f},  // a 70-degree arc centred on 3 o'clock
        {70, 90, 4096, 125.0f / 360.0f},
    };
    Knob* k = makeKnob();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        k->sweep = c.sweep;
        k->rotationOffset = c.offset;
        k->value = c.value;
        EXPECT_NEAR(k->currentAngle(), c.angle, 1e-5f);
        EXPECT_EQ(k->valueOfAngle(c.angle), c.value);
    }
}

TEST_F(KnobTest, RotaryDragFollowsThePointerAndNeverJumpsTheGap) {
    Knob* k = makeKnob(false);
    k->value = 0;
    const Point mark = onRing(k->currentAngle());
    move(mark.x, mark.y);
    EXPECT_EQ(k->hoverZone(), Knob::OverMark);
    press(mark.x, mark.y);
    EXPECT_EQ(k->dragMode(), Knob::RotaryDrag);
    for (float a : {0.7f, 0.85f, 0.0f}) {
        const Point p = onRing(a);
        move(p.x, p.y);
    }
    EXPECT_NEAR(k->value, 2048, 100);
    for (float a : {0.2f, 0.4f}) {
        const Point p = onRing(a);
        move(p.x, p.y);
    }
    const int nearMax = k->value;
    EXPECT_GT(nearMax, 3800);
    // On across the gap at the bottom: the value does not leap to the other end.
    for (float a : {0.5f, 0.6f, 0.65f}) {
        const Point p = onRing(a);
        move(p.x, p.y);
        EXPECT_GE(k->value, nearMax);
    }
    release(onRing(0.65f).x, onRing(0.65f).y);
    EXPECT_EQ(k->dragMode(), Knob::NoDrag);
}

TEST_F(KnobTest, BareRingJumpsToTheClickedAngle) {
    Knob* k = makeKnob(false);
    k->value = 0;
    EditRecorder recorder;
    k->setListener(&recorder);
    const Point top = onRing(0.0f);
    press(top.x, top.y);
    release(top.x, top.y);
    EXPECT_NEAR(k->value, 2048, 40);
    EXPECT_EQ(recorder.count(0), 1);
    EXPECT_EQ(recorder.count(2), 1);
    // The hole in the middle is not the knob.
    EXPECT_EQ(k->hitAlpha({20, 20}), 0);
}

TEST_F(KnobTest, RolloverFadesInQuicklyAndOutSlowly) {
    auto* animator = new Animator(ui.get());
    animator->rate = 50;
    animator->enabled = true;
    Knob* k = makeKnob();
    k->idleOpacity = 100;
    k->animator = animator;
    move(70, 40);
    wait(60);
    EXPECT_GT(k->rolloverLevel(), 0);
    EXPECT_LT(k->rolloverLevel(), 255);
    wait(60);
    EXPECT_EQ(k->rolloverLevel(), 255);
    EXPECT_EQ(k->drawnOpacity(), 255);
    move(150, 90);
    wait(200);
    EXPECT_GT(k->rolloverLevel(), 0);
    wait(120);
    EXPECT_EQ(k->rolloverLevel(), 0);
    EXPECT_EQ(k->drawnOpacity(), 100);
    // Highlighted keeps the look without the pointer; without an animator the level jumps.
    k->animator = nullptr;
    k->highlighted = true;
    EXPECT_EQ(k->rolloverLevel(), 255);
    delete k;
    delete animator;
}

}  // namespace
}  // namespace gui::test
