#include <gtest/gtest.h>

#include "engine/LorimaneSettings.h"
#include "gui/Knob.h"
#include "gui/ToggleButton.h"
#include "interface/modulation/SourceContainer.h"
#include "interface/LorimaneInterface.h"
#include "interface/modulation/AbstractSlotController.h"
#include "interface/modulation/ModulationIndicator.h"
#include "interface/modulation/ModulationIndicatorManager.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"
#include "interface/modulation/SlotInterface.h"
#include "interface/modulation/SourceController.h"
#include "interface/modulation/SourceDragButton.h"
#include "interface/modulation/SourceInterface.h"
#include "interface/modulation/SourceSelectionBar.h"
#include "interface/modulation/SourceSlotController.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationMatrixPlugin.h"
#include "tests/interface/frame/FrameFixture.h"

namespace {

using frametest::FrameTest;
using Editor = ModulationMatrixPluginInterface;

class ModulationSectionTest : public FrameTest {
protected:
    void openShown(bool shown = true) {
        dynamic_cast<LorimaneSettings&>(plugin->settings()).showModulation = shown;
        open();
        ASSERT_TRUE(section());
    }
    Editor& mod() { return dynamic_cast<Editor&>(*editor); }
    SourceController* section() { return mod().modulationSection(); }
    // A knob of the test's own on a target parameter, as the strip's knobs are bound.
    gui::Knob* targetKnob(const std::string& name, int x = 300, int y = 100) {
        auto* knob = new gui::Knob(ui.get());
        knob->setBounds(x, y, 40, 40);
        knob->parent = &root();
        mod().bindControl(indexOf(name), knob);
        return knob;
    }
    void addSource(const std::string& item) {
        openMenu(*section()->bar().addSourceButton(), item);
        system.advance(50);
    }
    void drag(const gui::Control& from, const gui::Control& to) {
        const gui::Point a = centre(from), b = centre(to);
        window().moveMouse(a.x, a.y);
        window().pressButton(gui::native::LeftButton, a.x, a.y);
        system.advance(20);
        window().moveMouse((a.x + b.x) / 2, (a.y + b.y) / 2);
        system.advance(20);
        window().moveMouse(b.x, b.y);
        system.advance(20);
        window().releaseButton(gui::native::LeftButton, b.x, b.y);
        system.advance(600);
    }
    // A click without the pause after it: timers keep their time.
    void press(const gui::Control& c) {
        const gui::Point p = centre(c);
        window().click(p.x, p.y);
    }
    std::string text(const std::string& name) { return param(name).plainToText(param(name).value()); }
    int slotCount() { return int(param("Num Active Slots").value()); }
    ModMatrixParamController& slots() { return *mod().slotController(); }
};

TEST_F(ModulationSectionTest, AddSourceMenuHintsAndFullLists) {
    openShown();
    const std::vector<std::string> items = openMenu(*section()->bar().addSourceButton());
    EXPECT_EQ(items, (std::vector<std::string>{"New XY Controller", "New XLFO", "New Envelope Generator",
                                               "New Envelope Follower", "New MIDI Source", "Sort Slots"}));
    EXPECT_EQ(section()->hintText(), SourceController::kHintNoSources);
    addSource("New XLFO");
    ASSERT_EQ(section()->interfaces().size(), 1u);
    EXPECT_EQ(section()->hintText(), SourceController::kHintNoSlots);
    for (int i = 0; i < 7; ++i) addSource("New XLFO");
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 6);
    EXPECT_EQ(section()->interfaces().size(), 6u);
    EXPECT_EQ(section()->hintText(), "");
    // Each addition is one step for undo.
    editor->undo();
    system.advance(50);
    EXPECT_EQ(section()->interfaces().size(), 5u);
}

TEST_F(ModulationSectionTest, DropOnTargetCreatesSlotAndFullListRefuses) {
    openShown();
    gui::Knob* knob = targetKnob("Input Level");
    addSource("New XLFO");
    SourceDragButton* handle = section()->interfaces().at(0)->dragButton(0);
    drag(*handle, *knob);
    ASSERT_EQ(slotCount(), 1);
    EXPECT_EQ(text("Slot 1 Source"), "XLFO 1");
    EXPECT_EQ(text("Slot 1 Target"), "Input Level");
    EXPECT_EQ(text("Slot 1 Level"), "0.160");
    EXPECT_EQ(text("Slot 1 Bypassed"), param("Slot 1 Bypassed").plainToText(0));
    EXPECT_EQ(text("Slot 1 Inverted"), param("Slot 1 Inverted").plainToText(0));
    ASSERT_TRUE(section()->slots().getSlotInterface(0));
    EXPECT_EQ(section()->slots().getSlotInterface(0)->parent.get(), static_cast<gui::Control*>(&section()->interfaces()[0]->container()));
    EXPECT_EQ(history().undoCount(), 2);  // the source, then the connection

    for (int i = 1; i < 24; ++i) section()->slots().createSlot(8, -1);
    system.advance(50);
    ASSERT_EQ(slotCount(), 24);
    drag(*handle, *knob);
    EXPECT_EQ(slotCount(), 24);
    EXPECT_EQ(editor->hintText(), Editor::kNoFreeSlots);
}

TEST_F(ModulationSectionTest, DropOnHoverItemShowsMessageAndChangesNothing) {
    openShown();
    addSource("New XLFO");
    SourceDragButton* handle = section()->interfaces().at(0)->dragButton(0);
    ASSERT_FALSE(section()->bar().buttons().empty());
    drag(*handle, *section()->bar().buttons()[0]);
    EXPECT_EQ(slotCount(), 0);
    EXPECT_EQ(editor->hintText(), Editor::kHoverOnly);
}

TEST_F(ModulationSectionTest, LoopShowsWarningUntilBypassed) {
    openShown();
    addSource("New XLFO");
    const int slot = section()->slots().createSlot(8, 16);  // XLFO 1 onto its own frequency
    ASSERT_EQ(slot, 0);
    editor->refreshControls();
    SlotInterface* row = section()->slots().getSlotInterface(0);
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->warningShown());
    click(*row->bypassButton());
    system.advance(50);
    EXPECT_FALSE(section()->slots().getSlotInterface(0)->warningShown());
}

TEST_F(ModulationSectionTest, IndicatorHighlightsChainAndSecondClickClears) {
    openShown();
    gui::Knob* knob = targetKnob("Wet Level");
    addSource("New XLFO");
    addSource("New XLFO");
    AbstractSlotController& list = section()->slots();
    const int wet = mod().targetOf(knob);
    ASSERT_GE(wet, 0);
    list.createSlot(8, 0);                                  // slot 0: elsewhere
    list.createSlot(8, wet);                                // slot 1: the knob
    list.createSlot(9, Editor::kFirstSlotLevelTarget + 1);  // slot 2: slot 1's level
    editor->refreshControls();
    system.advance(50);
    ModulationIndicator* indicator = section()->indicators().indicatorOf(indexOf("Wet Level"));
    ASSERT_TRUE(indicator);
    EXPECT_EQ(indicator->state(), ModulationIndicator::Modulated);
    EXPECT_TRUE(indicator->visible.get());
    click(*indicator);
    EXPECT_EQ(indicator->state(), ModulationIndicator::Selected);
    EXPECT_EQ(list.highlightState(0), AbstractSlotController::Dimmed);
    EXPECT_EQ(list.highlightState(1), AbstractSlotController::Highlighted);
    EXPECT_EQ(list.highlightState(2), AbstractSlotController::Highlighted);
    click(*indicator);
    EXPECT_EQ(indicator->state(), ModulationIndicator::Modulated);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(list.highlightState(s), AbstractSlotController::Normal);
}

TEST_F(ModulationSectionTest, IndicatorWhileSectionHiddenOnlyFlashesTheButton) {
    openShown(false);
    gui::Knob* knob = targetKnob("Wet Level");
    section()->slots().createSlot(8, mod().targetOf(knob));
    editor->refreshControls();
    ModulationIndicator* indicator = section()->indicators().indicatorOf(indexOf("Wet Level"));
    ASSERT_TRUE(indicator);
    auto* button = dynamic_cast<LorimaneInterface&>(*editor).modulationButton();
    const gui::Point p = centre(*indicator);
    window().click(p.x, p.y);
    EXPECT_EQ(button->visualState(), gui::Button::Hovered);
    EXPECT_FALSE(section()->slots().hasFilter());
    system.advance(ModulationIndicatorManager::kFlashMs + 20);
    EXPECT_EQ(button->visualState(), gui::Button::Normal);
}

TEST_F(ModulationSectionTest, CountParameterChangeKeepsTheHighlight) {
    // The count parameter lies before the first slot; it names no slot.
    openShown();
    EXPECT_EQ(section()->slots().slotOfParameter(indexOf("Num Active Slots")), -1);
    EXPECT_EQ(section()->slots().slotOfParameter(indexOf("Slot 1 Source")), 0);
    EXPECT_EQ(section()->slots().slotOfParameter(indexOf("Slot 2 Target")), 1);
}

TEST_F(ModulationSectionTest, RemovalWaitsForItsAnimationAndFollowsTheList) {
    openShown();
    for (int i = 0; i < 3; ++i) addSource("New XLFO");
    section()->slots().createSlot(9, 0);   // XLFO 2
    section()->slots().createSlot(10, 1);  // XLFO 3
    editor->refreshControls();
    section()->scrollToSource(1, 1);
    press(*section()->interfaces()[1]->removeButton());
    EXPECT_TRUE(section()->removalPending());
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 3);
    openMenu(*section()->bar().addSourceButton(), "New XLFO");  // ignored while the removal runs
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 3);
    system.advance(SourceController::kRemovalMs);
    EXPECT_FALSE(section()->removalPending());
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 2);
    ASSERT_EQ(slotCount(), 1);
    EXPECT_EQ(text("Slot 1 Source"), "XLFO 2");  // the former third follows its set
    ASSERT_EQ(section()->interfaces().size(), 2u);
    EXPECT_EQ(section()->interfaces()[1]->set(), 1);
}

TEST_F(ModulationSectionTest, UndoDuringPendingRemovalRemovesNothing) {
    openShown();
    for (int i = 0; i < 3; ++i) addSource("New XLFO");
    section()->slots().createSlot(10, 0);  // XLFO 3
    editor->refreshControls();
    section()->scrollToSource(1, 2);
    press(*section()->interfaces()[2]->removeButton());
    // The list changes under the running removal: the third XLFO is gone already.
    editor->undo();
    editor->undo();
    system.advance(SourceController::kRemovalMs + 50);
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 2);
    EXPECT_EQ(slotCount(), 0);
    EXPECT_EQ(section()->interfaces().size(), 2u);
    EXPECT_FALSE(section()->removalPending());
    addSource("New XLFO");  // nothing stays blocked
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 3);
}

}  // namespace
