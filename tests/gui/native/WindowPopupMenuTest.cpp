#include <thread>

#include "GuiFixture.h"
#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"
#include "gui/native/WindowPopupMenu.h"

namespace gui::test {
namespace {

struct Chosen {
    std::vector<std::string> names;
    void chosen(void* sender) { names.push_back(static_cast<MenuItem*>(sender)->name); }
};

class WindowPopupMenuTest : public GuiFixture {
protected:
    std::unique_ptr<PopupMenu> menu = ui->createPopupMenu();
    Chosen chosen;

    MenuItem* add(Menu& to, const std::string& name) {
        auto* item = new MenuItem(name);
        item->chosenEvent.addHandler(&chosen, &Chosen::chosen);
        to.addItem(item);
        return item;
    }
};

TEST_F(WindowPopupMenuTest, ItemsAreNumberedInInsertionOrderWithSubmenusAfterTheirOwner) {
    add(*menu, "One");
    MenuItem* sub = add(*menu, "More");
    add(*sub, "Sub A");
    add(*sub, "Sub B");
    menu->addSeparator();
    add(*menu, "Last");
    system.scriptMenuChoice(4);
    menu->show({10, 20, 60, 40});
    const auto& entries = system.lastMenu();
    ASSERT_EQ(entries.size(), 6u);
    const std::vector<std::pair<std::string, int>> expected{{"One", 0},   {"More", 0}, {"Sub A", 1},
                                                            {"Sub B", 1}, {"", 0},     {"Last", 0}};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].number, static_cast<int>(i) + 1);
        EXPECT_EQ(entries[i].text, expected[i].first);
        EXPECT_EQ(entries[i].depth, expected[i].second);
    }
    EXPECT_TRUE(entries[1].submenu);
    EXPECT_TRUE(entries[4].separator);
    EXPECT_EQ(system.lastMenuPoint(), (Point{10, 40}));  // the rectangle's bottom-left corner
    EXPECT_EQ(chosen.names, (std::vector<std::string>{"Sub B"}));
}

TEST_F(WindowPopupMenuTest, AmpersandsAreShownNotUsedAsMnemonics) {
    add(*menu, "Drums & Bass");
    add(*menu, "&&");
    system.scriptMenuChoice("Drums & Bass");
    menu->show({});
    EXPECT_EQ(system.lastMenu()[0].text, "Drums && Bass");
    EXPECT_EQ(system.lastMenu()[1].text, "&&&&");
    EXPECT_EQ(chosen.names, (std::vector<std::string>{"Drums & Bass"}));
}

TEST_F(WindowPopupMenuTest, HiddenItemsAreLeftOutAndStatesCarriedOver) {
    MenuItem* hidden = add(*menu, "Hidden");
    hidden->visible = false;
    MenuItem* checked = add(*menu, "Checked");
    checked->checkMark = true;
    MenuItem* disabled = add(*menu, "Disabled");
    disabled->enabled = false;
    system.scriptMenuChoice(2);  // the disabled item: a platform would never answer it
    menu->show({});
    const auto& entries = system.lastMenu();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, "Checked");
    EXPECT_TRUE(entries[0].checked);
    EXPECT_FALSE(entries[1].enabled);
    EXPECT_TRUE(chosen.names.empty());
}

TEST_F(WindowPopupMenuTest, DismissedMenuChoosesNothingAndOpeningEventComesFirst) {
    int opened = 0;
    struct Opener {
        int* opened;
        MenuItem* late;
        void opening(void*) {
            ++*opened;
            late->name = "Renamed";
        }
    };
    MenuItem* item = add(*menu, "Item");
    Opener opener{&opened, item};
    menu->openingEvent.addHandler(&opener, &Opener::opening);
    menu->show({});
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(system.lastMenu()[0].text, "Renamed");
    EXPECT_TRUE(chosen.names.empty());
}

TEST_F(WindowPopupMenuTest, ItemsInsertedBeforeAnotherAreShownAndNumberedThere) {
    struct Case {
        int index;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {0, {"New", "A", "B", "C"}},  {1, {"A", "New", "B", "C"}},  {3, {"A", "B", "C", "New"}},
        {-1, {"A", "B", "C", "New"}}, {99, {"A", "B", "C", "New"}},
    };
    for (const Case& c : cases) {
        Menu m;
        for (const char* name : {"A", "B", "C"}) m.addItem(new MenuItem(name));
        const int at = m.insertItem(c.index, std::make_unique<MenuItem>("New"));
        std::vector<std::string> order;
        for (int i = 0; i < m.itemCount(); ++i) order.push_back(m.itemAt(i)->name);
        EXPECT_EQ(order, c.order) << c.index;
        EXPECT_EQ(m.itemAt(at)->name, "New");
        EXPECT_EQ(m.indexOf(m.itemAt(at)), at);
    }
    // Kinds registered one after another each go before the fixed last item.
    MenuItem* sort = add(*menu, "Sort Slots");
    for (const char* kind : {"New XLFO", "New EG"}) {
        auto item = std::make_unique<MenuItem>(kind);
        item->chosenEvent.addHandler(&chosen, &Chosen::chosen);
        menu->insertItem(menu->indexOf(sort), std::move(item));
    }
    MenuItem stranger("Elsewhere");
    EXPECT_EQ(menu->indexOf(&stranger), -1);
    system.scriptMenuChoice(2);
    menu->show({});
    ASSERT_EQ(system.lastMenu().size(), 3u);
    EXPECT_EQ(system.lastMenu()[0].text, "New XLFO");
    EXPECT_EQ(system.lastMenu()[2].text, "Sort Slots");
    EXPECT_EQ(chosen.names, (std::vector<std::string>{"New EG"}));
}

TEST_F(WindowPopupMenuTest, ClosingAShownMenuFromCodeChoosesNothing) {
    // Closed through the menu itself, or by the window's teardown through the user interface.
    for (bool throughInterface : {false, true}) {
        add(*menu, "Item");
        system.scriptMenuChoice("Item");  // what the user would have chosen
        system.whileNextMenuShown([&] {
            EXPECT_TRUE(menu->isShown());
            if (throughInterface)
                ui->closePopupMenus();
            else
                menu->cancel();
        });
        menu->show({});
        EXPECT_FALSE(menu->isShown());
        EXPECT_TRUE(chosen.names.empty()) << throughInterface;
        menu->clearItems();
    }
    EXPECT_EQ(system.menusCancelled(), 2);
    // Closing a menu that is not shown changes nothing for its next showing.
    add(*menu, "Item");
    menu->cancel();
    ui->closePopupMenus();
    system.scriptMenuChoice("Item");
    menu->show({});
    EXPECT_EQ(chosen.names, (std::vector<std::string>{"Item"}));
    EXPECT_EQ(system.menusCancelled(), 2);
}

TEST_F(WindowPopupMenuTest, ClosedMenuIgnoresALateAnswerFromABackendThatCannotClose) {
    // A backend without a way to close its menu (the default) still delivers the user's answer.
    struct KeepsMenuUp : native::HeadlessWindowSystem {
        void cancelPopupMenu(native::Window&) override {}
    } other;
    WindowInterface otherUi(other, nullptr, Rect{0, 0, 200, 100});
    auto otherMenu = otherUi.createPopupMenu();
    add(*otherMenu, "Item");
    other.scriptMenuChoice("Item");
    other.whileNextMenuShown([&] { otherUi.closePopupMenus(); });
    otherMenu->show({});
    EXPECT_TRUE(chosen.names.empty());
}

TEST_F(WindowPopupMenuTest, MenuDestroyedWhileShownReturnsWithoutChoosing) {
    add(*menu, "Item");
    system.scriptMenuChoice("Item");
    PopupMenu* shown = menu.get();
    system.whileNextMenuShown([&] { menu.reset(); });
    shown->show({});
    EXPECT_EQ(system.menusCancelled(), 1);
    EXPECT_TRUE(chosen.names.empty());
    ui->closePopupMenus();  // nothing stale is left behind
}

TEST_F(WindowPopupMenuTest, ShowOffTheUiThreadDoesNothing) {
    add(*menu, "Item");
    std::thread other([&] { menu->show({}); });
    other.join();
    EXPECT_EQ(system.menusShown(), 0);
}

}  // namespace
}  // namespace gui::test
