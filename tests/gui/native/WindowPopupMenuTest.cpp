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

TEST_F(WindowPopupMenuTest, ShowOffTheUiThreadDoesNothing) {
    add(*menu, "Item");
    std::thread other([&] { menu->show({}); });
    other.join();
    EXPECT_EQ(system.menusShown(), 0);
}

}  // namespace
}  // namespace gui::test
