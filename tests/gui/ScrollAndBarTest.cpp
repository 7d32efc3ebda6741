// Scroll area, scroll buttons, scroll strip and the row layout bar.

#include "ValueControlFixture.h"
#include "gui/Animator.h"
#include "gui/ControlBar.h"
#include "gui/ScrollArea.h"
#include "gui/ScrollButton.h"
#include "gui/ScrollStrip.h"

namespace gui::test {
namespace {

class ScrollAndBarTest : public ValueControlFixture {
protected:
    // Three 100-pixel children side by side in a 150-pixel area with a margin of 5.
    ScrollArea* makeArea(Control* parent = nullptr) {
        auto* a = new ScrollArea(ui.get());
        a->bounds = Rect{0, 0, 150, 40};
        a->parent = parent ? parent : &root();
        a->margin = 5;
        for (int i = 0; i < 3; ++i) probe("c" + std::to_string(i), Rect::ofSize(5 + 100 * i, 5, 100, 30), a);
        return a;
    }
};

TEST_F(ScrollAndBarTest, AreaScrollsItsChildrenWithinTheContent) {
    ScrollArea* a = makeArea();
    EXPECT_EQ(a->contentWidth(), 310);
    EXPECT_EQ(a->maximumPosition(), 160);
    move(50, 20);
    window().turnWheel(1, 50, 20, 0, true);  // 25 pixels
    EXPECT_FLOAT_EQ(a->scrollPosition(), 25.0f);
    EXPECT_EQ(a->children().front()->bounds.get().left, -20);
    window().turnWheel(1, 50, 20);  // vertical: taken, no effect
    EXPECT_FLOAT_EQ(a->scrollPosition(), 25.0f);
    a->setScrollPosition(1000);
    EXPECT_FLOAT_EQ(a->scrollPosition(), 160.0f);
    a->setScrollPosition(0);
    // The middle child fits and is centred.
    a->scrollIntoView(a->children()[1]);
    EXPECT_FLOAT_EQ(a->scrollPosition(), 80.0f);
    EXPECT_EQ(a->children()[1]->bounds.get().left, 25);
    // With an animator the area glides there.
    auto* animator = new Animator(ui.get());
    animator->rate = 50;
    animator->enabled = true;
    a->animator = animator;
    a->scrollIntoView(a->children()[2]);
    wait(150);
    EXPECT_GT(a->scrollPosition(), 80.0f);
    EXPECT_LT(a->scrollPosition(), 160.0f);
    wait(200);
    EXPECT_FLOAT_EQ(a->scrollPosition(), 160.0f);
    delete a;
    delete animator;
}

TEST_F(ScrollAndBarTest, ScrollButtonSpeedsUpWhilePressedAndSettlesAfterTheRelease) {
    ScrollArea* a = makeArea();
    a->setPosition({20, 0});
    auto* b = new ScrollButton(ui.get(), ScrollButton::RightSide);
    b->bounds = Rect{170, 0, 182, 40};
    b->parent = &root();
    b->setArea(a);
    press(175, 20);
    EXPECT_FLOAT_EQ(b->targetSpeed(), 125.0f);  // (0 + 25) x 5
    move(185, 20);
    EXPECT_FLOAT_EQ(b->targetSpeed(), 175.0f);
    wait(200);
    EXPECT_GT(b->speed(), 170.0f);
    EXPECT_GT(a->scrollPosition(), 10.0f);
    release(185, 20);
    wait(500);
    EXPECT_EQ(b->speed(), 0.0f);
    const float settled = a->scrollPosition();
    wait(200);
    EXPECT_EQ(a->scrollPosition(), settled);
    // Drags hovering over a left button scroll left, faster once they dwell.
    auto* left = new ScrollButton(ui.get(), ScrollButton::LeftSide);
    left->dragStateChanged(Control::DragEntered);
    EXPECT_FLOAT_EQ(left->targetSpeed(), -50.0f);
    left->dragStateChanged(Control::DragDwelled);
    EXPECT_FLOAT_EQ(left->targetSpeed(), -150.0f);
    left->dragStateChanged(Control::DragLeft);
    EXPECT_FLOAT_EQ(left->targetSpeed(), 0.0f);
}

TEST_F(ScrollAndBarTest, StripShowsEachButtonOnlyWhileItsWayIsOpen) {
    auto* strip = new ScrollStrip(ui.get());
    strip->bounds = Rect{0, 0, 174, 40};
    strip->parent = &root();
    EXPECT_EQ(strip->area().width(), 150);
    for (int i = 0; i < 3; ++i)
        probe("c" + std::to_string(i), Rect::ofSize(100 * i, 5, 100, 30), &strip->area());
    EXPECT_FALSE(strip->leftButton().visible);
    EXPECT_TRUE(strip->rightButton().visible);
    strip->area().setScrollPosition(1000);
    EXPECT_TRUE(strip->leftButton().visible);
    EXPECT_FALSE(strip->rightButton().visible);
    strip->autoHide = false;
    EXPECT_TRUE(strip->rightButton().visible);
}

TEST_F(ScrollAndBarTest, PartsThatGoFirstAreForgotten) {
    // Deleting the tree removes the strip's parts before the strip, and a bar inside the area
    // relays out while it goes: nothing may reach a part already gone.
    auto* strip = new ScrollStrip(ui.get());
    strip->bounds = Rect{0, 0, 174, 40};
    strip->parent = &root();
    auto* bar = new ControlBar(ui.get());
    bar->autoSize = true;
    bar->parent = &strip->area();
    for (int i = 0; i < 3; ++i) probe("c" + std::to_string(i), Rect{0, 0, 100, 30}, bar);
    root().deleteAllChildren();

    // A scroll button whose area went scrolls nothing.
    ScrollArea* a = makeArea();
    auto* b = new ScrollButton(ui.get(), ScrollButton::RightSide);
    b->bounds = Rect{170, 0, 182, 40};
    b->parent = &root();
    b->setArea(a);
    delete a;
    EXPECT_EQ(b->area(), nullptr);
    press(175, 20);
    wait(100);
    release(175, 20);
    wait(300);
}

TEST_F(ScrollAndBarTest, BarLaysOutItsVisibleChildrenInARow) {
    struct Case {
        int horizontal, vertical;
        int firstX, firstY;
    };
    // Children of 20 x 10 and 30 x 20 with a spacing of 4: a row 54 wide in a bar 100 x 30.
    const Case cases[] = {{ControlBar::Left, ControlBar::Top, 0, 0},
                          {ControlBar::Centre, ControlBar::Middle, 23, 10},
                          {ControlBar::Right, ControlBar::Bottom, 46, 20}};
    for (const Case& c : cases) {
        auto* bar = new ControlBar(ui.get());
        bar->bounds = Rect{0, 0, 100, 30};
        bar->parent = &root();
        bar->spacing = 4;
        bar->horizontalAlignment = c.horizontal;
        bar->verticalAlignment = c.vertical;
        Probe* a = probe("a", Rect{0, 0, 20, 10}, bar);
        Probe* hidden = probe("h", Rect{0, 0, 7, 7}, bar);
        hidden->visible = false;
        Probe* b = probe("b", Rect{0, 0, 30, 20}, bar);
        EXPECT_EQ(a->bounds.get().topLeft(), (Point{c.firstX, c.firstY}));
        EXPECT_EQ(b->bounds.get().left, c.firstX + 24);
        delete bar;
    }
    auto* bar = new ControlBar(ui.get());
    bar->parent = &root();
    bar->autoSize = true;
    probe("a", Rect{0, 0, 20, 10}, bar);
    Probe* b = probe("b", Rect{0, 0, 30, 20}, bar);
    EXPECT_EQ(bar->width(), 50);
    EXPECT_EQ(bar->height(), 20);
    b->setSize(40, 20);  // a child's resize lays the row out again
    EXPECT_EQ(bar->width(), 60);
}

TEST_F(ScrollAndBarTest, BarSlidesChildrenInAndOut) {
    auto* animator = new Animator(ui.get());
    animator->rate = 50;
    animator->enabled = true;
    auto* bar = new ControlBar(ui.get());
    bar->parent = &root();
    bar->autoSize = true;
    bar->animator = animator;
    probe("a", Rect{0, 0, 20, 10}, bar);
    Probe* b = probe("b", Rect{0, 0, 40, 10}, nullptr);
    bar->insertAnimated(b);
    EXPECT_EQ(bar->width(), 20);  // the slot starts empty
    EXPECT_EQ(b->opacity, 0);
    wait(150);
    EXPECT_GT(bar->width(), 20);
    EXPECT_LT(bar->width(), 60);
    wait(200);
    EXPECT_EQ(bar->width(), 60);
    EXPECT_EQ(b->opacity, 255);
    bar->removeAnimated(b);
    wait(400);
    EXPECT_EQ(bar->width(), 20);
    EXPECT_EQ(b->parent.get(), nullptr);
    delete bar;
    delete animator;
}

}  // namespace
}  // namespace gui::test
