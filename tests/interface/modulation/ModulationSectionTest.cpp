#include <gtest/gtest.h>

#include "engine/LorimaneSettings.h"
#include "gui/Knob.h"
#include "gui/ScrollArea.h"
#include "gui/ScrollStrip.h"
#include "gui/LevelButton.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "interface/modulation/SourceContainer.h"
#include "interface/LorimaneInterface.h"
#include "interface/modulation/AbstractSlotController.h"
#include "interface/modulation/ModulationArt.h"
#include "interface/modulation/ModulationDragStage.h"
#include "interface/modulation/ModulationIndicator.h"
#include "interface/modulation/ModulationIndicatorManager.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"
#include "interface/modulation/SlotInterface.h"
#include "interface/modulation/SourceController.h"
#include "interface/modulation/SourceDragButton.h"
#include "interface/modulation/SourceInterface.h"
#include "interface/modulation/SourceSelectionBar.h"
#include "interface/modulation/SourceSlotController.h"
#include "interface/sources/EGController.h"
#include "interface/sources/EGSourceInterface.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationTargetParameter.h"
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
    // The editor's own control for a target parameter (the strip's knob), or a knob of the test's own
    // bound the way the strip binds its knobs where the editor shows none.
    gui::ValueControl* targetKnob(const std::string& name, int x = 300, int y = 100) {
        if (gui::ValueControl* shown = mod().targetControl(indexOf(name))) return shown;
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
    gui::ValueControl* knob = targetKnob("Input Level");
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

TEST_F(ModulationSectionTest, DwellingOnASourceButtonDuringADragScrollsToItsSource) {
    openShown();
    for (int i = 0; i < 4; ++i) addSource("New XLFO");
    section()->scrollToSource(1, 0);
    gui::ScrollArea& area = section()->strip().area();
    const float start = area.scrollPosition();
    const gui::Point a = centre(*section()->interfaces()[0]->dragButton(0));
    const gui::Point b = centre(*section()->bar().buttons().back());
    window().moveMouse(a.x, a.y);
    window().pressButton(gui::native::LeftButton, a.x, a.y);
    window().moveMouse(b.x, b.y);
    system.advance(gui::DragStage::kDwellMs - 100);
    EXPECT_EQ(area.scrollPosition(), start);  // not yet
    system.advance(150);
    EXPECT_GT(area.scrollPosition(), start);
    window().releaseButton(gui::native::LeftButton, b.x, b.y);
    system.advance(50);
    EXPECT_EQ(slotCount(), 0);
}

TEST_F(ModulationSectionTest, SelectorDragScrollsAndAShortPressJumps) {
    openShown();
    for (int i = 0; i < 5; ++i) addSource("New XLFO");
    SourceSelectionBar& bar = section()->bar();
    gui::ScrollArea& area = section()->strip().area();
    ASSERT_GT(area.maximumPosition(), 0);
    area.setScrollPosition(0);
    const gui::Point origin = bar.toRoot({0, 0});
    const gui::Rect selector = bar.selectorRect();
    // Along the top edge, clear of the source buttons.
    const int x = origin.x + selector.left + 2, y = origin.y + 1;
    // A wobble within the threshold is a click: the strip jumps to the clicked place, here the end.
    const int end = origin.x + bar.width() - SourceSelectionBar::kAddWidth - 12;
    window().moveMouse(end, y);
    window().pressButton(gui::native::LeftButton, end, y);
    window().moveMouse(end - 3, y);
    window().releaseButton(gui::native::LeftButton, end - 3, y);
    EXPECT_EQ(area.scrollPosition(), float(area.maximumPosition()));
    system.advance(600);
    // A drag moves the strip by the pointer's movement scaled from the map to the content.
    area.setScrollPosition(0);
    window().moveMouse(x, y);
    window().pressButton(gui::native::LeftButton, x, y);
    window().moveMouse(x + 20, y);
    window().releaseButton(gui::native::LeftButton, x + 20, y);
    const float scale = float(std::max(area.contentWidth(), area.width())) / float(bar.width() - SourceSelectionBar::kAddWidth - 8);
    EXPECT_NEAR(area.scrollPosition(), std::min(20.0f * scale, float(area.maximumPosition())), 1.0f);
}

TEST_F(ModulationSectionTest, EnvelopeStagesShareTheDisplaysIndicator) {
    openShown();
    addSource("New Envelope Generator");
    addSource("New Envelope Generator");
    ModulationIndicatorManager& indicators = section()->indicators();
    EXPECT_FALSE(indicators.indicatorOf(indexOf("EG 2 Attack")));
    auto& envelope = dynamic_cast<EGSourceInterface&>(section()->interfaces()[1]->panel()).envelope();
    ModulationIndicator* shown = indicators.indicatorOn(&envelope);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->targetCount(), 6);
    EXPECT_EQ(shown->state(), ModulationIndicator::Hidden);
    auto* attack = dynamic_cast<ModulationTargetParameter*>(&param("EG 2 Attack"));
    ASSERT_TRUE(attack);
    EXPECT_GE(attack->target(), shown->firstTarget());
    EXPECT_LT(attack->target(), shown->firstTarget() + 6);
    section()->slots().createSlot(8, attack->target());
    editor->refreshControls();
    EXPECT_EQ(shown->state(), ModulationIndicator::Modulated);
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
    gui::ValueControl* knob = targetKnob("Wet Level");
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
    gui::ValueControl* knob = targetKnob("Wet Level");
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

TEST_F(ModulationSectionTest, CountChangeKeepsTheHighlightAndSlotChangesFollowIt) {
    openShown();
    gui::ValueControl* knob = targetKnob("Wet Level");
    addSource("New XLFO");
    AbstractSlotController& list = section()->slots();
    list.createSlot(8, 0);                     // slot 0, dimmed under the filter below
    list.createSlot(8, mod().targetOf(knob));  // slot 1
    editor->refreshControls();
    list.setTargetFilter(mod().targetOf(knob), 1);
    ASSERT_EQ(list.highlightState(1), AbstractSlotController::Highlighted);
    // The count parameter belongs to no slot: its change must not clear the filter as a change
    // of the dimmed slot 0 would.
    editor->refreshParameter(indexOf("Num Active Slots"));
    EXPECT_TRUE(list.hasFilter());
    EXPECT_EQ(list.highlightState(1), AbstractSlotController::Highlighted);
    editor->refreshParameter(indexOf("Slot 1 Level"));
    EXPECT_FALSE(list.hasFilter());
}

TEST_F(ModulationSectionTest, DropAnimationRunsIntoTheNewSlotsOwnRow) {
    openShown();
    gui::ValueControl* knob = targetKnob("Wet Level");
    addSource("New XLFO");
    addSource("New XLFO");
    section()->scrollToSource(1, 0);
    section()->slots().createSlot(9, 0);  // XLFO 2's row comes first in the list
    editor->refreshControls();
    const gui::Point a = centre(*section()->interfaces()[0]->dragButton(0)), b = centre(*knob);
    window().moveMouse(a.x, a.y);
    window().pressButton(gui::native::LeftButton, a.x, a.y);
    window().moveMouse(b.x, b.y);
    window().releaseButton(gui::native::LeftButton, b.x, b.y);
    system.advance(100);
    ModulationDragStage* stage = nullptr;
    for (gui::Control* c : root().children())
        if (auto* s = dynamic_cast<ModulationDragStage*>(c)) stage = s;
    ASSERT_TRUE(stage);
    EXPECT_TRUE(stage->animating());
    EXPECT_EQ(stage->droppedSlot(), 1);
    ASSERT_TRUE(stage->targetRow());
    EXPECT_EQ(stage->targetRow()->parent.get(), static_cast<gui::Control*>(&section()->interfaces()[0]->container()));
    system.advance(ModulationDragStage::kDropAnimationMs);
    for (gui::Control* c : root().children()) EXPECT_FALSE(dynamic_cast<ModulationDragStage*>(c));
}

TEST_F(ModulationSectionTest, TargetMenuOffersOnlyTargetsOfSourcesInUse) {
    openShown();
    addSource("New XLFO");
    section()->interfaces()[0]->container().addSlotButton(0)->clicked();
    system.advance(50);
    ASSERT_TRUE(section()->slots().getSlotInterface(0));
    EXPECT_EQ(text("Slot 1 Source"), "XLFO 1");
    EXPECT_EQ(text("Slot 1 Target"), "< Target >");
    auto state = [&](const std::string& item) {
        section()->scrollToSource(1, 0);
        for (const std::string& line : openMenu(*section()->slots().getSlotInterface(0)->targetButton()))
            if (line.rfind(item, 0) == 0) return line;
        return std::string("missing");
    };
    EXPECT_EQ(state("XLFO 3 Freq"), "XLFO 3 Freq [disabled]");
    EXPECT_EQ(state("XLFO 1 Freq"), "XLFO 1 Freq");
    EXPECT_EQ(state("Wet Level"), "Wet Level");
    addSource("New XLFO");
    addSource("New XLFO");
    EXPECT_EQ(state("XLFO 3 Freq"), "XLFO 3 Freq");
}

TEST_F(ModulationSectionTest, RemoveSlotTakesTheSlotsModulatingItsLevel) {
    openShown();
    addSource("New XLFO");
    AbstractSlotController& list = section()->slots();
    list.createSlot(8, 0);
    list.createSlot(8, Editor::kFirstSlotLevelTarget + 0);  // modulates slot 0's level
    list.createSlot(8, 2);
    editor->refreshControls();
    click(*list.getSlotInterface(0)->removeButton());
    ASSERT_EQ(slotCount(), 1);
    EXPECT_EQ(slots().getTarget(0), 2);
    EXPECT_EQ(list.slotInterfaceCount(), 1);
}

TEST_F(ModulationSectionTest, LevelsOfOneSourceMoveTogetherUnderTheLinkingModifier) {
    openShown();
    addSource("New XLFO");
    addSource("New XLFO");
    AbstractSlotController& list = section()->slots();
    list.createSlot(8, 0);
    list.createSlot(9, 1);
    list.createSlot(8, 2);
    editor->refreshControls();
    section()->scrollToSource(1, 0);
    const std::string other = text("Slot 2 Level");
    const gui::Point p = centre(*list.getSlotInterface(0)->levelSlider());
    window().moveMouse(p.x, p.y);
    window().pressButton(gui::native::LeftButton, p.x, p.y, gui::native::KeyAlt);
    window().moveMouse(p.x + 12, p.y, gui::native::KeyAlt);
    window().releaseButton(gui::native::LeftButton, p.x + 12, p.y, gui::native::KeyAlt);
    system.advance(50);
    EXPECT_NE(text("Slot 1 Level"), "0.160");
    EXPECT_EQ(text("Slot 3 Level"), text("Slot 1 Level"));
    EXPECT_EQ(text("Slot 2 Level"), other);  // another source's slot stays
}

// A factory whose default presets always apply, and a section the editor never refreshes: the
// count change of an addition never reaches it.
class SilentFactory : public SourceController::Listener {
public:
    explicit SilentFactory(gui::UserInterface* ui) : ui_(ui) {}
    gui::Button* createSourceButton(int) override { return nullptr; }
    LorimaneSourceInterface* createSourceInterface(int, int) override { return nullptr; }
    SlotInterface* createSlotInterface() override { return nullptr; }
    bool applyDefaultPreset(int, int) override { return true; }

private:
    gui::UserInterface* ui_;
};

TEST_F(ModulationSectionTest, AnAdditionThatNeverArrivesStopsBlockingLaterAdditions) {
    openShown();
    ModulationArt art(ui.get());
    SilentFactory factory(ui.get());
    auto* lone = new SourceController(ui.get(), mod(), factory, art);
    lone->addSourceKind(section()->list(1), "XLFO", 2, 1);
    lone->addSource(0);
    EXPECT_TRUE(lone->additionPending());
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 1);
    lone->addSource(0);  // still pending
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 1);
    system.advance(SourceController::kAdditionTimeoutMs + 50);
    EXPECT_FALSE(lone->additionPending());
    lone->addSource(0);
    EXPECT_EQ(int(param("Num Active XLFOs").value()), 2);
    lone->deleteAllChildren();
    delete lone;
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
