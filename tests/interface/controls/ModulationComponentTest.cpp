// Component buttons and displays while a modulation source is dragged: hovering opens panels, the
// end of the drag closes what it opened, and open panels narrow the slot list to their targets.

#include <gtest/gtest.h>

#include "controls/FakeParameterEditor.h"
#include "gui/DragManager.h"
#include "gui/ModifierMap.h"
#include "gui/ScrollArea.h"
#include "gui/ScrollButton.h"
#include "interface/controls/ModulationComponentButton.h"
#include "interface/controls/ModulationComponentDisplay.h"
#include "interface/controls/SectionInterface.h"

namespace interface_test {
namespace {

class SlotFilter : public ModulationComponentDisplay::TargetFilter {
public:
    void setTargetFilter(int first, int count) override { range = {first, count}; }
    void clearFilter() override { range = {-1, 0}; }
    bool isTargetFilter(int first, int count) const override { return range == std::pair{first, count}; }
    std::pair<int, int> range{-1, 0};
};

class ModulationComponentTest : public EditorFixture {
protected:
    void SetUp() override {
        gui::ModifierMap::useDefaults();
        display = new ModulationComponentDisplay(ui.get(), &drags, &filter);
        display->setBounds(0, 200, 640, 100);
        display->parent = &root();
        // Panel 0 holds targets 10 to 12, panel 1 none; button 2 opens nothing.
        const std::pair<int, int> ranges[] = {{10, 3}, {0, 0}};
        for (int i = 0; i < 2; ++i) {
            auto* panel = new SectionInterface(ui.get(), editor);
            panel->setComponent(display, display->addComponent(panel, 150, ranges[i].first, ranges[i].second));
        }
        for (int i = 0; i < 3; ++i) {
            auto* b = new ModulationComponentButton(ui.get(), editor, display, i < 2 ? i : -1, &drags);
            b->setBounds(20 + 100 * i, 20, 85, 64);
            b->parent = &root();
            buttons.push_back(b);
        }
    }
    // The editor goes before the drag manager it registered with.
    void TearDown() override { ui.reset(); }
    void dragOver(std::initializer_list<int> dwellOn) {
        for (auto* b : buttons) b->dragStateChanged(gui::Control::DragStarted);
        for (int i : dwellOn) buttons[i]->dragStateChanged(gui::Control::DragDwelled);
    }
    void endDrag() {
        for (auto* b : buttons) b->dragStateChanged(gui::Control::DragEnded);
    }
    gui::DragManager drags;
    SlotFilter filter;
    ModulationComponentDisplay* display = nullptr;
    std::vector<ModulationComponentButton*> buttons;
};

TEST_F(ModulationComponentTest, ButtonsAreHoverItemsBeforeTheScrollButtons) {
    const auto& items = drags.dragItems();
    ASSERT_EQ(items.size(), 5u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i].control, buttons[i]);
        EXPECT_TRUE(items[i].hoverOnly && !items[i].trailing);
    }
    EXPECT_EQ(items[3].control, &display->leftButton());
    EXPECT_EQ(items[4].control, &display->rightButton());
    EXPECT_TRUE(items[4].hoverOnly && items[4].trailing);
}

TEST_F(ModulationComponentTest, PanelsOpenedDuringADragCloseAtItsEnd) {
    dragOver({0});
    EXPECT_TRUE(display->isOpen(0));
    EXPECT_EQ(filter.range, (std::pair{10, 3}));
    // The exclusive display closes panel 0 for panel 1, which clears panel 0's filter.
    buttons[1]->dragStateChanged(gui::Control::DragDwelled);
    EXPECT_FALSE(display->isOpen(0));
    EXPECT_TRUE(display->isOpen(1));
    EXPECT_EQ(filter.range, (std::pair{-1, 0}));
    endDrag();
    EXPECT_FALSE(display->isOpen(0));
    EXPECT_FALSE(display->isOpen(1));

    // A panel open before the drag stays open; a button without a panel clicks.
    window().click(60, 50);
    int clicks = 0;
    struct Counter {
        int* n;
        void clicked(void*) { ++*n; }
    } counter{&clicks};
    buttons[2]->clickEvent.addHandler(&counter, &Counter::clicked);
    dragOver({2});
    endDrag();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(display->isOpen(0));
    buttons[2]->clickEvent.removeHandlers(&counter);
}

TEST_F(ModulationComponentTest, AClickOnTheEmptyRowClearsTheFilter) {
    window().click(60, 50);
    EXPECT_EQ(filter.range, (std::pair{10, 3}));
    window().click(600, 250);
    EXPECT_EQ(filter.range, (std::pair{-1, 0}));
}

}  // namespace
}  // namespace interface_test
