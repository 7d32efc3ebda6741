// Number, continuous and level buttons driven through the headless window.

#include "ValueControlFixture.h"
#include "gui/FloatValueButton.h"
#include "gui/IntValueButton.h"
#include "gui/LevelButton.h"

namespace gui::test {
namespace {

class ValueButtonTest : public ValueControlFixture {};

TEST_F(ValueButtonTest, IntValueButtonCountsPixelsFromThePressAndRebasesAtTheEnds) {
    auto* b = new IntValueButton(ui.get());
    b->bounds = Rect{20, 20, 60, 40};
    b->parent = &root();
    b->maximum = 100;
    b->value = 50;
    EXPECT_EQ(b->text().text.get(), "50");
    press(30, 30);
    move(30, 18);  // 12 px up at 4 px a step
    EXPECT_EQ(b->value, 53);
    move(30, 17, kShift);  // new modifiers: counted again from here, ten steps each
    move(30, 9, kShift);
    EXPECT_EQ(b->value, 73);
    EXPECT_EQ(b->text().text.get(), "73");
    move(30, -20, kShift);  // past the maximum: counted again from where it stopped
    EXPECT_EQ(b->value, 100);
    move(30, -16, kShift);
    EXPECT_EQ(b->value, 90);
    release(30, -16, kShift);
}

TEST_F(ValueButtonTest, FloatValueButtonHandsThePressToItsParentAcrossTheDragAxis) {
    Probe* holder = probe("holder", Rect{0, 0, 200, 100});
    auto* b = new FloatValueButton(ui.get());
    b->bounds = Rect{20, 20, 60, 40};
    b->parent = holder;
    b->handsOverToParent = true;
    b->doubleClickEnabled = false;
    b->accelerate = false;
    b->value = 1000;
    EditRecorder recorder;
    b->setListener(&recorder);
    press(30, 30);
    wait(20);
    move(31, 25);  // along the axis: a drag
    EXPECT_EQ(b->value, 1000 + 102);
    takeLog();
    move(36, 25);  // 6 px across: the holder takes over
    EXPECT_EQ(root().captureControl(), holder);
    EXPECT_EQ(recorder.count(0), 1);
    EXPECT_EQ(recorder.count(2), 1);
    EXPECT_FALSE(b->isDragging());
    move(50, 25);
    EXPECT_EQ(b->value, 1102);
    release(50, 25);
    const Log log = takeLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "holder:down0@36,25"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "holder:up0@50,25"), log.end());
}

TEST_F(ValueButtonTest, LevelBarFollowsTheNormalizedValue) {
    auto* style = new Button::Style(ui.get());
    style->icon[0] = picture(4, 6, {40, 200, 200, 255});
    auto* b = new LevelButton(ui.get(), style);
    b->bounds = Rect{0, 0, 50, 14};
    b->levelOffset = 10;
    b->maximum = 100;
    b->value = 25;
    EXPECT_EQ(b->barRect(), (Rect{10, 4, 20, 10}));
    b->value = 100;
    EXPECT_EQ(b->barRect(), (Rect{10, 4, 50, 10}));
    b->value = 0;
    EXPECT_TRUE(b->barRect().isEmpty());
}

}  // namespace
}  // namespace gui::test
