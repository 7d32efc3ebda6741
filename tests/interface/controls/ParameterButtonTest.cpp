// Parameter buttons, component buttons and displays, and the XY pad, driven through the headless
// window over a live plug-in.

#include <gtest/gtest.h>

#include <cmath>

#include "controls/FakeParameterEditor.h"
#include "gui/ModifierMap.h"
#include "gui/MultiLabel.h"
#include "gui/ToggleButton.h"
#include "interface/controls/ComponentButton.h"
#include "interface/controls/ComponentDisplay.h"
#include "interface/controls/SectionContainer.h"
#include "interface/controls/SectionInterface.h"
#include "interface/controls/XYControllerButton.h"

namespace interface_test {
namespace {

using gui::native::KeyAlt;
using gui::native::KeyCtrl;
using gui::native::KeyShift;

constexpr float kStep = 1.0f / ParameterButton::kContinuousSteps;

// A button at 100, 100 (80 x 60) editing Filter 1: frequency and peak, with pan and response as
// the alternate pair.
class ParameterButtonTest : public EditorFixture {
protected:
    void SetUp() override {
        gui::ModifierMap::useDefaults();
        freq = editor.index("Filter 1 Freq");
        peak = editor.index("Filter 1 Peak");
        pan = editor.index("Filter 1 Pan");
        response = editor.index("Filter 1 Response");
        button = new ParameterButton(ui.get(), editor);
        button->setBounds(100, 100, 80, 60);
        button->parent = &root();
        button->setParameter(ParameterButton::Horizontal, freq);
        button->setParameter(ParameterButton::Vertical, peak);
        button->setParameter(ParameterButton::AlternateHorizontal, pan);
        button->setParameter(ParameterButton::AlternateVertical, response);
        editor.setNormalized(freq, 0.5f);
        editor.setNormalized(peak, 0.5f);
        editor.takeLog();
    }
    int freq = -1, peak = -1, pan = -1, response = -1;
    ParameterButton* button = nullptr;
};

TEST_F(ParameterButtonTest, DragStartsBeyondFourPixelsAndMovesRightAndUpToMore) {
    press(140, 130);
    move(144, 126);
    EXPECT_EQ(button->dragMode(), ParameterButton::Pressed);
    EXPECT_TRUE(editor.log.empty());
    move(150, 120);  // beyond 4 pixels: the drag starts here and this movement counts
    EXPECT_EQ(button->dragMode(), ParameterButton::Dragging);
    release(150, 120);
    EXPECT_GT(editor.normalized(freq), 0.5f);
    EXPECT_GT(editor.normalized(peak), 0.5f);
    EXPECT_EQ(editor.takeLog(), (std::vector<std::string>{"begin Filter 1 Freq", "begin Filter 1 Peak",
                                                          "end Filter 1 Freq", "end Filter 1 Peak"}));
    EXPECT_EQ(editor.refreshes, 1);
    EXPECT_TRUE(editor.balanced());
}

TEST_F(ParameterButtonTest, FineDragChangesOnlyTheDominantAxis) {
    struct Case {
        int dx, dy;
        bool horizontalMoves;
    };
    for (const Case c : {Case{30, -12, true}, Case{-8, -26, false}, Case{20, 19, true}}) {
        editor.setNormalized(freq, 0.5f);
        editor.setNormalized(peak, 0.5f);
        drag(140, 130, 140 + c.dx, 130 + c.dy, 6, KeyShift);
        const float moved = c.horizontalMoves ? editor.normalized(freq) : editor.normalized(peak);
        const float held = c.horizontalMoves ? editor.normalized(peak) : editor.normalized(freq);
        EXPECT_NE(moved, 0.5f) << c.dx << "," << c.dy;
        EXPECT_EQ(held, 0.5f) << c.dx << "," << c.dy;
        // Fine: a tenth of the full-speed change (a full-range drag is 200 pixels).
        EXPECT_NEAR(std::fabs(moved - 0.5f), 0.1f * std::abs(c.horizontalMoves ? c.dx : c.dy) / 200.0f, 2 * kStep);
    }
}

TEST_F(ParameterButtonTest, ResetModifierMidDragHandsOverToTheAlternatePairWithoutAJump) {
    editor.setValue(pan, 0.0f);
    press(140, 130);
    move(150, 130);
    move(160, 130);
    const float freqBefore = editor.normalized(freq);
    const float panBefore = editor.normalized(pan);
    move(160, 130, KeyCtrl);  // the reset modifier goes down without movement
    EXPECT_TRUE(button->alternate());
    EXPECT_EQ(editor.normalized(pan), panBefore);
    move(170, 130, KeyCtrl);
    move(180, 130, KeyCtrl);
    release(180, 130, KeyCtrl);
    EXPECT_EQ(editor.normalized(freq), freqBefore);
    EXPECT_NEAR(editor.normalized(pan) - panBefore, freqBefore - 0.5f, 2 * kStep);
    EXPECT_EQ(editor.takeLog(),
              (std::vector<std::string>{"begin Filter 1 Freq", "begin Filter 1 Peak", "end Filter 1 Freq",
                                        "end Filter 1 Peak", "begin Filter 1 Pan", "begin Filter 1 Response",
                                        "end Filter 1 Pan", "end Filter 1 Response"}));
}

TEST_F(ParameterButtonTest, OvershootIsTravelledBackBeforeTheValueMoves) {
    editor.setNormalized(freq, 0.9f);
    press(100, 130);
    for (int x = 110; x <= 200; x += 10) move(x, 130);  // +0.5 of the range: 0.4 past the end
    EXPECT_EQ(editor.normalized(freq), 1.0f);
    for (int x = 190; x >= 120; x -= 10) move(x, 130);  // back 80 pixels = 0.4
    EXPECT_NEAR(editor.normalized(freq), 1.0f, 2 * kStep);
    move(100, 130);
    EXPECT_NEAR(editor.normalized(freq), 0.9f, 2 * kStep);
    release(100, 130);
}

TEST_F(ParameterButtonTest, ResetClickResetsEveryParameterInItsOwnGesture) {
    editor.setValue(pan, 1.0f);
    editor.setValue(response, 2.0f);
    editor.takeLog();
    window().click(140, 130, KeyCtrl);
    EXPECT_EQ(editor.value(freq), editor.parameter(freq)->defaultValue());
    EXPECT_EQ(editor.value(peak), editor.parameter(peak)->defaultValue());
    EXPECT_EQ(editor.value(pan), 0.0f);
    EXPECT_EQ(editor.value(response), 0.0f);
    EXPECT_EQ(editor.takeLog(),
              (std::vector<std::string>{"begin Filter 1 Freq", "end Filter 1 Freq", "begin Filter 1 Peak",
                                        "end Filter 1 Peak", "begin Filter 1 Pan", "end Filter 1 Pan",
                                        "begin Filter 1 Response", "end Filter 1 Response"}));
    // Ctrl+Shift is no action at all, and MIDI learn turns clicks into target choices.
    window().click(140, 130, KeyCtrl | KeyShift);
    editor.learning = true;
    editor.setNormalized(freq, 0.3f);
    window().click(140, 130, KeyCtrl);
    drag(140, 130, 180, 130, 4);
    EXPECT_EQ(editor.normalized(freq), 0.3f);
}

TEST_F(ParameterButtonTest, ALostCaptureEndsTheGestures) {
    press(140, 130);
    move(160, 130);
    window().loseCapture();
    EXPECT_TRUE(editor.balanced());
    EXPECT_EQ(button->dragMode(), ParameterButton::Idle);
}

// Three component buttons over an exclusive display of three panels.
class ComponentButtonTest : public EditorFixture {
protected:
    void SetUp() override {
        gui::ModifierMap::useDefaults();
        display = new ComponentDisplay(ui.get());
        display->setBounds(0, 200, 640, 100);
        display->parent = &root();
        for (int i = 0; i < 3; ++i) {
            auto* panel = new SectionInterface(ui.get(), editor);
            panel->setComponent(display, display->addComponent(panel, 150));
            panels.push_back(panel);
            auto* b = new ComponentButton(ui.get(), editor, display, i);
            b->setBounds(20 + 100 * i, 20, 85, 64);
            b->parent = &root();
            buttons.push_back(b);
        }
        display->addListener(&listener);
        freq = editor.index("Filter 1 Freq");
        peak = editor.index("Filter 1 Peak");
        pan = editor.index("Filter 1 Pan");
        buttons[0]->setParameter(ParameterButton::Horizontal, freq);
        buttons[0]->setParameter(ParameterButton::Vertical, peak);
        buttons[0]->setParameter(ParameterButton::AlternateHorizontal, pan);
        buttons[0]->addResetParameter(editor.index("Filter 1 Slope"));
    }
    struct Listener : ComponentDisplay::Listener {
        void componentToggled(ComponentDisplay&, int c, bool open) override {
            told.push_back(std::to_string(c) + (open ? " open" : " closed"));
        }
        std::vector<std::string> told;
    } listener;
    ComponentDisplay* display = nullptr;
    std::vector<SectionInterface*> panels;
    std::vector<ComponentButton*> buttons;
    int freq = -1, peak = -1, pan = -1;
};

TEST_F(ComponentButtonTest, PlainClickOpensExclusivelyResetClickOnlyResets) {
    window().click(60, 50);
    EXPECT_TRUE(display->isOpen(0));
    window().click(160, 50);
    EXPECT_FALSE(display->isOpen(0));
    EXPECT_TRUE(display->isOpen(1));
    EXPECT_EQ(panels[1]->parent.get(), &display->row());
    EXPECT_EQ(listener.told, (std::vector<std::string>{"0 open", "1 open"}));

    editor.setNormalized(freq, 0.2f);
    editor.setValue(editor.index("Filter 1 Slope"), 3.0f);
    window().click(60, 50, KeyCtrl);
    EXPECT_FALSE(display->isOpen(0));  // the reset does not open
    EXPECT_EQ(editor.normalized(freq), 1.0f);
    EXPECT_EQ(editor.value(editor.index("Filter 1 Slope")), 1.0f);
    // Another modifier action (fine) does nothing more.
    window().click(60, 50, KeyShift);
    EXPECT_FALSE(display->isOpen(0));
    // A panel closes itself; a non-exclusive display keeps several open.
    panels[1]->close();
    EXPECT_FALSE(display->isOpen(1));
    display->exclusive = false;
    window().click(60, 50);
    window().click(160, 50);
    EXPECT_TRUE(display->isOpen(0) && display->isOpen(1));
    // Open panels stand in the row in component order.
    window().click(260, 50);
    window().click(160, 50);
    window().click(160, 50);
    ASSERT_EQ(display->row().children().size(), 3u);
    EXPECT_EQ(display->row().children()[1], panels[1]);
}

TEST_F(ComponentButtonTest, HintLabelsNameBothPairsAndDimTheInactiveOne) {
    move(60, 50);
    gui::MultiLabel* h = display->hintLabel(0);
    gui::MultiLabel* v = display->hintLabel(1);
    ASSERT_TRUE(h->visible.get() && v->visible.get());
    EXPECT_EQ(h->text(0).text.get(), "Filter 1 Freq");
    EXPECT_EQ(h->text(1).text.get(), "(Ctrl) Filter 1 Pan");
    EXPECT_EQ(h->text(2).text.get(), editor.text(freq));
    EXPECT_EQ(v->text(0).text.get(), "Filter 1 Peak");
    EXPECT_EQ(v->text(1).text.get(), "(Ctrl) Unassigned");
    EXPECT_EQ(h->segmentOpacity(0), 255);
    EXPECT_EQ(h->segmentOpacity(1), 128);
    // With the reset modifier the alternate lines light up and show their values.
    move(61, 50, KeyCtrl);
    EXPECT_EQ(h->segmentOpacity(0), 128);
    EXPECT_EQ(h->segmentOpacity(1), 255);
    EXPECT_EQ(h->text(2).text.get(), editor.text(pan));
    EXPECT_EQ(v->text(2).text.get(), "No Value");
    // The host's shortcuts move reset to Alt.
    gui::ModifierMap::useHostShortcuts();
    move(60, 50);
    EXPECT_EQ(h->text(1).text.get(), "(Alt) Filter 1 Pan");
    gui::ModifierMap::useDefaults();
    move(5, 5);
    EXPECT_FALSE(h->visible.get());
    // Not during MIDI learn, nor with the setting off.
    editor.learning = true;
    move(60, 50);
    EXPECT_FALSE(h->visible.get());
    editor.learning = false;
    display->showHintLabels = false;
    move(61, 50);
    EXPECT_FALSE(h->visible.get());
}

TEST_F(ComponentButtonTest, EnableSwitchIsBoundAndTheFaceIsCachedUntilAParameterChanges) {
    const int enabled = editor.index("Filter 1 Enabled");
    buttons[0]->setEnableParameter(enabled);
    EXPECT_EQ(editor.bound[enabled], buttons[0]->enableSwitch());
    EXPECT_FALSE(buttons[0]->isFaceDisabled());
    editor.setValue(enabled, 0.0f);
    EXPECT_TRUE(buttons[0]->isFaceDisabled());

    root().invalidateAll();
    window().deliverPaint();
    const int renders = buttons[0]->faceRenders();
    root().invalidateAll();
    window().deliverPaint();
    EXPECT_EQ(buttons[0]->faceRenders(), renders);
    editor.setNormalized(freq, 0.25f);
    root().invalidateAll();
    window().deliverPaint();
    EXPECT_EQ(buttons[0]->faceRenders(), renders + 1);
}

class XYPadTest : public EditorFixture {
protected:
    void SetUp() override {
        gui::ModifierMap::useDefaults();
        hor = editor.index("XY Controller 1 Hor");
        ver = editor.index("XY Controller 1 Ver");
        pad = new XYControllerButton(ui.get(), editor);
        pad->setBounds(100, 100, 80, 80);
        pad->parent = &root();
        pad->setPad(gui::Rect{8, 9, 72, 73});  // 64 x 64
        pad->setAxes(hor, ver);
    }
    int hor = -1, ver = -1;
    XYControllerButton* pad = nullptr;
};

TEST_F(XYPadTest, MarkerFollowsThePointerFromThePressAndResetHomesBothAxes) {
    EXPECT_EQ(pad->markerPosition(), (gui::Point{40, 41}));  // 0, 0 sits in the middle
    press(140, 141);
    EXPECT_EQ(pad->dragMode(), ParameterButton::Dragging);
    move(141, 141);  // one pixel already moves it: no threshold
    for (int x = 142; x <= 156; x += 2) move(x, 141 - (x - 140));
    release(156, 125);
    EXPECT_EQ(pad->markerPosition(), (gui::Point{56, 25}));
    EXPECT_NEAR(editor.normalized(hor), 0.5f + 16.0f / 64.0f, 2 * kStep);
    EXPECT_NEAR(editor.normalized(ver), 0.5f + 16.0f / 64.0f, 2 * kStep);
    EXPECT_TRUE(editor.balanced());

    editor.takeLog();
    press(170, 170, KeyCtrl);
    move(175, 175, KeyCtrl);
    release(175, 175, KeyCtrl);
    EXPECT_EQ(editor.value(hor), 0.0f);
    EXPECT_EQ(editor.value(ver), 0.0f);
    EXPECT_EQ(editor.takeLog(), (std::vector<std::string>{"begin XY Controller 1 Hor", "end XY Controller 1 Hor",
                                                          "begin XY Controller 1 Ver", "end XY Controller 1 Ver"}));
}

}  // namespace
}  // namespace interface_test
