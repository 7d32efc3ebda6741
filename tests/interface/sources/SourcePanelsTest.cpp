#include <cmath>

#include "SourceEditorFixture.h"
#include "gui/IntValueButton.h"
#include "gui/Knob.h"
#include "gui/ToggleButton.h"
#include "interface/sources/EFSourceInterface.h"
#include "interface/sources/EGController.h"
#include "interface/sources/EGSourceInterface.h"
#include "interface/sources/MidiSourceInterface.h"
#include "interface/sources/SourceTitles.h"
#include "interface/sources/XLFOSourceInterface.h"

namespace sources::test {
namespace {

using Titles = SourceEditorFixture;

TEST_F(Titles, EveryKindIsNamedAfterItsShortNameAndSet) {
    struct Case {
        int kind, set;
        const char* title;
    };
    for (Case c : {Case{SourceLayout::XYKind, 0, "XY 1"}, Case{SourceLayout::XLFOKind, 2, "XLFO 3"},
                   Case{SourceLayout::EGKind, 5, "EG 6"}, Case{SourceLayout::EFKind, 1, "EF 2"},
                   Case{SourceLayout::MidiKind, 9, "MIDI 10"}}) {
        EXPECT_EQ(sourcetitles::title(c.kind, c.set), c.title);
        EXPECT_EQ(sourcetitles::displayName(c.kind, c.set), c.title);
    }

    // A panel retitles itself when it is pointed at another set.
    auto* eg = new EGSourceInterface(ui.get(), editor, layout);
    eg->parent = &root();
    eg->setIndex(0);
    EXPECT_EQ(eg->title(), "EG 1");
    const int bound = editor.boundCount();
    eg->setIndex(2);
    EXPECT_EQ(eg->title(), "EG 3");
    EXPECT_EQ(eg->displayName(), "EG 3");
    // The old set's bindings went: the count is the same for the new set.
    EXPECT_EQ(editor.boundCount(), bound);
}

TEST_F(Titles, AMidiSourceIsNamedAfterWhatItListensTo) {
    auto* midi = new MidiSourceInterface(ui.get(), editor, layout);
    midi->parent = &root();
    midi->setIndex(0);
    const SourceLayout::Midi& m = layout.midi(0);
    EXPECT_EQ(midi->displayName(), "Mod Wheel (MS 1)");
    EXPECT_FALSE(midi->controllerButton().interactive);
    EXPECT_EQ(midi->controllerButton().opacity, 128);

    editor.setPlain(m.input, float(MidiSourceInterface::kControllerInput));
    editor.setPlain(m.controllerNumber, 7.0f);
    EXPECT_EQ(midi->displayName(), "7 (MS 1)");
    EXPECT_TRUE(midi->controllerButton().interactive);

    editor.setPlain(m.input, 2.0f);
    EXPECT_EQ(midi->displayName(), "Velocity (MS 1)");
    midi->setIndex(1);
    EXPECT_EQ(midi->displayName(), "Mod Wheel (MS 2)");
}

class EGPanelTest : public SourceEditorFixture {
protected:
    void SetUp() override {
        eg = layout.eg(0);
        panel = new EGSourceInterface(ui.get(), editor, layout);
        panel->parent = &root();
        panel->setIndex(0);
    }
    SourceLayout::EG eg;
    EGSourceInterface* panel = nullptr;
};

TEST_F(EGPanelTest, MidiTriggeringHidesTheThresholdAndStacksTheButtons) {
    EXPECT_TRUE(panel->thresholdKnob().visible);
    EXPECT_EQ(panel->triggerButton(0).bounds.get().top, panel->triggerButton(2).bounds.get().top);
    EXPECT_TRUE(panel->triggerButton(0).on);

    click(centreOf(panel->triggerButton(2)));
    EXPECT_EQ(std::lround(editor.value(eg.triggering)), 2);
    EXPECT_TRUE(panel->triggerButton(2).on);
    EXPECT_FALSE(panel->triggerButton(0).on);
    EXPECT_FALSE(panel->thresholdKnob().visible);
    EXPECT_EQ(panel->triggerButton(0).bounds.get().left, panel->triggerButton(2).bounds.get().left);
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(EGPanelTest, DraggingADotSetsItsStageAndMovesTheStagesAfterIt) {
    EGController& display = panel->envelope();
    ASSERT_TRUE(display.canDraw());
    EGController::Dot& attack = *display.dot(EGController::Attack);
    EGController::Dot& decay = *display.dot(EGController::Decay);
    const int attackBefore = attack.bounds.get().left, decayBefore = decay.bounds.get().left;

    const gui::Point from = centreOf(attack);
    drag(from, {from.x + 20, from.y});
    EXPECT_GT(editor.value(eg.stage[EGController::Attack]), 0.1f);
    const int moved = attack.bounds.get().left - attackBefore;
    EXPECT_NEAR(moved, 20, 1);
    EXPECT_EQ(decay.bounds.get().left - decayBefore, moved);

    // The sustain dot moves the level, up being louder.
    editor.setPlain(eg.stage[EGController::Sustain], 0.5f);
    EGController::Dot& sustain = *display.dot(EGController::Sustain);
    const gui::Point s = centreOf(sustain);
    drag(s, {s.x, s.y - 10});
    EXPECT_GT(editor.value(eg.stage[EGController::Sustain]), 0.55f);
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(SourceEditorFixture, TheFollowersInputIsOfferedOnlyWithASideChain) {
    auto* ef = new EFSourceInterface(ui.get(), editor, layout);
    ef->parent = &root();
    ef->setIndex(0);
    EXPECT_EQ(ef->inputButton(0).visible, layout.sideChainInput());
    EXPECT_EQ(ef->inputButton(0).parameterIndex == layout.ef(0).input, layout.sideChainInput());
    EXPECT_EQ(ef->attackKnob().parameterIndex, layout.ef(0).attack);
    EXPECT_EQ(ef->releaseKnob().parameterIndex, layout.ef(0).release);
}

}  // namespace
}  // namespace sources::test
