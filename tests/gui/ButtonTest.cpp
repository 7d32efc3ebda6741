// Buttons driven through the headless window: looks, toggling, momentary holds, menus, select
// buttons and radio groups.

#include "ValueControlFixture.h"
#include "gui/Button.h"
#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"

namespace gui::test {
namespace {

class ButtonTest : public ValueControlFixture {
protected:
    template <typename T = Button>
    T* make(Rect r) {
        auto* b = new T(ui.get());
        b->bounds = r;
        b->parent = &root();
        return b;
    }
};

TEST_F(ButtonTest, VisualStatesFollowThePointerAndThePress) {
    Button* b = make(Rect{20, 20, 80, 40});
    EXPECT_EQ(b->visualState(), Button::Normal);
    move(30, 30);
    EXPECT_EQ(b->visualState(), Button::Hovered);
    press(30, 30);
    EXPECT_EQ(b->visualState(), Button::Pressed);
    move(150, 30);
    EXPECT_EQ(b->visualState(), Button::Normal);
    b->keepPressedOutside = true;
    move(151, 30);
    EXPECT_EQ(b->visualState(), Button::Pressed);
    b->keepPressedOutside = false;
    move(30, 30);
    release(30, 30);
    EXPECT_EQ(b->visualState(), Button::Hovered);
    move(150, 90);
    EXPECT_EQ(b->visualState(), Button::Normal);
}

TEST_F(ButtonTest, MomentaryToggleIsReleasedAfterAHold) {
    Button* b = make(Rect{20, 20, 80, 40});
    b->toggles = true;
    b->momentary = true;
    struct Case {
        const char* name;
        uint32_t holdMs;
        bool onWhileHeld;
        bool onAfter;
    };
    const Case cases[] = {
        {"held past 500 ms", 600, true, false},
        {"short press stays on", 100, true, true},
        {"pressed while on toggles off", 100, true, false},
        {"exactly 500 ms is no hold", 500, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        press(30, 30);
        EXPECT_EQ(b->on, c.onWhileHeld);
        wait(c.holdMs);
        release(30, 30);
        EXPECT_EQ(b->on, c.onAfter);
        wait(600);
    }
}

TEST_F(ButtonTest, AMenuButtonOpensItsMenuBelowItAndFinishesThePress) {
    Button* b = make(Rect{20, 20, 80, 40});
    std::unique_ptr<PopupMenu> menu = ui->createPopupMenu();
    menu->addItem(new MenuItem("One"));
    menu->addItem(new MenuItem("Two"));
    b->popupMenu = menu.get();
    EditRecorder recorder;
    b->setListener(&recorder);
    press(30, 30);
    EXPECT_EQ(system.menusShown(), 1);
    EXPECT_EQ(system.lastMenuPoint(), (Point{20, 40}));
    EXPECT_EQ(b->visualState(), Button::Normal);
    EXPECT_EQ(root().captureControl(), nullptr);
    release(30, 30);
    EXPECT_EQ(recorder.count(0), 1);
    EXPECT_EQ(recorder.count(2), 1);
}

TEST_F(ButtonTest, SelectButtonShowsItsItemOrMultipleAndSetsTheChosenOne) {
    auto* s = make<SelectButton>(Rect{20, 20, 120, 40});
    s->setItems({"Low", "Band", "High"});
    s->value = 1;
    EXPECT_EQ(s->text().text.get(), "Band");
    EXPECT_EQ(s->maximum, 2);

    s->multiple = true;
    EXPECT_EQ(s->text().text.get(), "(Multiple)");
    EditRecorder recorder;
    s->setListener(&recorder);
    system.scriptMenuChoice("Band");
    press(30, 30);
    release(30, 30);
    ASSERT_EQ(system.lastMenu().size(), 3u);
    for (const auto& entry : system.lastMenu()) EXPECT_FALSE(entry.checked) << entry.text;
    // Choosing the item the value already has still applies it to every value it stood for.
    EXPECT_EQ(s->value, 1);
    EXPECT_EQ(recorder.count(1), 1);
    EXPECT_FALSE(s->multiple);
    EXPECT_EQ(s->text().text.get(), "Band");

    wait(600);
    system.scriptMenuChoice("High");
    press(30, 30);
    EXPECT_TRUE(system.lastMenu()[1].checked);
    EXPECT_EQ(s->value, 2);
    EXPECT_EQ(s->text().text.get(), "High");
    EXPECT_EQ(recorder.count(0), 2);
    EXPECT_EQ(recorder.count(2), 2);
    release(30, 30);
    EXPECT_EQ(recorder.count(2), 2);

    // A shared list names the items of both.
    auto* other = make<SelectButton>(Rect{20, 50, 120, 70});
    other->shareItems(*s);
    other->value = 2;
    EXPECT_EQ(other->text().text.get(), "High");

    // The wheel runs down the list as the menu reads: turning away from the user goes up it.
    wait(600);
    move(30, 30);
    notch(1, 30, 30);
    EXPECT_EQ(s->value, 1);
}

TEST_F(ButtonTest, ToggleButtonsAndARadioGroup) {
    auto* t = make<ToggleButton>(Rect{10, 10, 30, 30});
    EditRecorder recorder;
    t->setListener(&recorder);
    window().click(15, 15);
    EXPECT_TRUE(t->on);
    EXPECT_EQ(t->value, 1);
    EXPECT_EQ(recorder.count(0), 1);
    EXPECT_EQ(recorder.count(2), 1);

    auto* leader = make<ToggleButton>(Rect{0, 0, 0, 0});
    leader->maximum = 2;
    ToggleButton* members[3];
    for (int i = 0; i < 3; ++i) {
        members[i] = make<ToggleButton>(Rect{50 + 30 * i, 50, 70 + 30 * i, 70});
        members[i]->joinRadioGroup(leader, i);
    }
    EXPECT_TRUE(members[0]->on);
    wait(600);
    window().click(120, 60);
    EXPECT_EQ(leader->value, 2);
    EXPECT_FALSE(members[0]->on);
    EXPECT_TRUE(members[2]->on);
    wait(600);
    window().click(120, 60);  // clicking the chosen one keeps it
    EXPECT_EQ(leader->value, 2);
    EXPECT_TRUE(members[2]->on);
}

}  // namespace
}  // namespace gui::test
