// Switches and sliders driven through the headless window.

#include "ValueControlFixture.h"
#include "gui/Switch.h"

namespace gui::test {
namespace {

class SwitchTest : public ValueControlFixture {
protected:
    Switch* makeSwitch(int trackW, int trackH, int handleW, int handleH, Rect bounds = {}) {
        auto* style = new Switch::Style(ui.get());
        style->track = picture(trackW, trackH, {60, 60, 60, 255});
        style->handle = picture(handleW, handleH);
        auto* s = new Switch(ui.get());
        if (!bounds.isEmpty()) {
            s->autoSize = false;
            s->bounds = bounds;
        }
        s->setStyle(style);
        s->parent = &root();
        return s;
    }
};

TEST_F(SwitchTest, AutoSizeGivesEachPositionAHandleAndTheTrackBetween) {
    struct Case {
        int trackW, trackH, handleW, handleH, maximum;
        int width, height;
    };
    // length = handle x (range + 1) + (track - 2 x handle) x range
    const Case cases[] = {
        {40, 16, 16, 16, 1, 40, 16}, {40, 16, 16, 16, 2, 64, 16}, {40, 16, 16, 16, 3, 88, 16},
        {16, 30, 16, 10, 1, 16, 30}, {16, 30, 16, 10, 4, 16, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maximum);
        Switch* s = makeSwitch(c.trackW, c.trackH, c.handleW, c.handleH);
        s->maximum = c.maximum;
        EXPECT_EQ(s->width(), c.width);
        EXPECT_EQ(s->height(), c.height);
        EXPECT_EQ(s->orientation(), c.height >= c.width ? Switch::Vertical : Switch::Horizontal);
        delete s;
    }
}

TEST_F(SwitchTest, ClickingTheFreeHalfOfTheTrackFlipsTheSwitch) {
    Switch* s = makeSwitch(40, 16, 16, 16);
    s->setPosition({20, 20});
    EditRecorder recorder;
    s->setListener(&recorder);
    window().click(28, 28);  // on the handle: nothing
    EXPECT_EQ(s->value, 0);
    wait(600);
    window().click(50, 28);
    EXPECT_EQ(s->value, 1);
    EXPECT_EQ(s->handlePosition().x, 24);
    wait(600);
    window().click(25, 28);
    EXPECT_EQ(s->value, 0);
    EXPECT_EQ(recorder.count(0), 3);
    EXPECT_EQ(recorder.count(2), 3);
}

TEST_F(SwitchTest, HandleDragOnATwoPositionSwitch) {
    Switch* s = makeSwitch(40, 16, 16, 16);
    s->setPosition({20, 20});
    press(28, 28);
    move(38, 28);
    EXPECT_EQ(s->value, 0);
    move(48, 28);  // 20 pixels a step
    EXPECT_EQ(s->value, 1);
    move(70, 28);
    EXPECT_EQ(s->value, 1);
    release(70, 28);
}

TEST_F(SwitchTest, VerticalSliderStaysAtTheTopUntilThePointerComesBack) {
    // 100 pixels of travel for 1000 steps, the maximum at the top.
    Switch* s = makeSwitch(16, 40, 16, 16, Rect{150, 0, 166, 116});
    s->maximum = 1000;
    s->value = 500;
    EXPECT_EQ(s->handlePosition().y, 50);
    press(158, 55);
    move(158, 5);
    EXPECT_EQ(s->value, 1000);
    EXPECT_EQ(s->handlePosition().y, 0);
    move(158, -30);
    move(158, 0);
    EXPECT_EQ(s->value, 1000);
    move(158, 5);  // the handle's end position
    EXPECT_EQ(s->value, 1000);
    move(158, 15);
    EXPECT_EQ(s->value, 900);
    release(158, 15);
}

TEST_F(SwitchTest, SliderResetsWithTheResetModifierAndMovesFromTheTrack) {
    Switch* s = makeSwitch(16, 40, 16, 16, Rect{150, 0, 166, 116});
    s->maximum = 1000;
    s->defaultValue = 250;
    s->value = 500;
    press(158, 90, kCtrl);
    EXPECT_EQ(s->value, 250);
    release(158, 90, kCtrl);
    wait(600);
    // Off the handle a slider drags by steps, without jumping to the pointer.
    press(158, 10);
    move(158, 0);
    EXPECT_EQ(s->value, 350);
    release(158, 0);
}

TEST_F(SwitchTest, WheelOnAVerticalSwitchTurnsWithThePictureOfIt) {
    // A vertical two-position switch has its maximum at the bottom: turning up moves it up.
    Switch* s = makeSwitch(16, 30, 16, 10);
    s->setPosition({20, 20});
    s->value = 1;
    move(28, 30);
    notch(1, 28, 30);
    EXPECT_EQ(s->value, 0);
    wait(600);
    notch(-1, 28, 30);
    EXPECT_EQ(s->value, 1);
}

}  // namespace
}  // namespace gui::test
