#include <cmath>

#include "SourceEditorFixture.h"
#include "gui/Animator.h"
#include "gui/Button.h"
#include "gui/Knob.h"
#include "interface/sources/XLFOController.h"
#include "interface/sources/XLFOSourceInterface.h"

namespace sources::test {
namespace {

class XLFOEditorTest : public SourceEditorFixture {
protected:
    void SetUp() override {
        x = layout.xlfo(0);
        panel = new XLFOSourceInterface(ui.get(), editor, layout);
        panel->parent = &root();
        panel->setIndex(0);
    }

    XLFOController& steps() { return panel->stepEditor(); }
    XLFOController::StepInterface& stepPanel() { return steps().stepInterface(); }
    int stepParameter(int step, int offset) const { return x.firstStep + step * x.stepStride + offset; }

    void setSteps(const std::vector<float>& values) {
        editor.setPlain(x.stepCount, float(values.size()));
        for (std::size_t i = 0; i < values.size(); ++i) editor.setPlain(stepParameter(int(i), x.stepValue), values[i]);
    }
    std::vector<float> values() {
        std::vector<float> out;
        const int n = int(std::lround(editor.value(x.stepCount)));
        for (int i = 0; i < n; ++i) out.push_back(editor.value(stepParameter(i, x.stepValue)));
        return out;
    }
    gui::Point handleOf(int i) {
        XLFOController::StepSlider& s = steps().step(i);
        return s.toRoot({s.width() / 2, s.handleCentre()});
    }
    // A point on the step well away from its handle.
    gui::Point offHandle(int i) {
        XLFOController::StepSlider& s = steps().step(i);
        const int y = s.handleCentre() > s.height() / 2 ? 10 : s.height() - 20;
        return s.toRoot({s.width() / 2, y});
    }
    void clickButton(int kind) { click(centreOf(*stepPanel().button(kind))); }

    SourceLayout::XLFO x;
    XLFOSourceInterface* panel = nullptr;
};

void expectValues(const std::vector<float>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "step " << i;
}

TEST_F(XLFOEditorTest, StepWidthsFollowTheStepCount) {
    struct Case {
        int steps, width;
    };
    for (Case c : {Case{1, 50}, Case{2, 45}, Case{4, 37}, Case{16, 16}}) {
        SCOPED_TRACE(c.steps);
        EXPECT_EQ(XLFOController::stepWidth(c.steps), c.width);
        editor.setPlain(x.stepCount, float(c.steps));
        EXPECT_EQ(steps().stepCount(), c.steps);
        EXPECT_EQ(steps().step(0).width(), c.width);
        EXPECT_EQ(steps().step(c.steps - 1).bounds.get().left, (c.steps - 1) * c.width);
        EXPECT_EQ(steps().phaseOffset().width(), c.steps * c.width);
        if (c.steps < XLFOController::kMaxSteps) {
            EXPECT_EQ(steps().step(c.steps).width(), 0);
            EXPECT_FALSE(steps().step(c.steps).visible);
        }
        EXPECT_EQ(panel->width(), XLFOSourceInterface::kControlsWidth + c.steps * c.width);
    }
}

TEST_F(XLFOEditorTest, WithAnAnimatorTheLayoutSlidesToItsNewPlace) {
    gui::Animator animator(ui.get());
    animator.rate = 50;
    animator.enabled = true;
    steps().animator = &animator;
    editor.setPlain(x.stepCount, 2.0f);
    const int narrow = panel->width();

    editor.setPlain(x.stepCount, 4.0f);
    EXPECT_EQ(steps().step(0).width(), 45);
    system.advance(100);
    const int between = steps().step(0).width();
    EXPECT_LT(between, 45);
    EXPECT_GT(between, 37);
    EXPECT_GT(steps().step(3).width(), 0);
    EXPECT_LT(steps().step(3).width(), 37);
    system.advance(200);
    EXPECT_EQ(steps().step(0).width(), 37);
    EXPECT_EQ(steps().step(3).bounds.get().left, 3 * 37);
    EXPECT_EQ(panel->width(), XLFOSourceInterface::kControlsWidth + 4 * 37);
    EXPECT_GT(panel->width(), narrow);
    steps().animator = nullptr;
}

TEST_F(XLFOEditorTest, ClicksSelectStepsAndTheCaptionNamesThem) {
    setSteps({0.f, 0.5f, -0.5f, 0.f, 0.25f, 0.f, -1.f, 1.f});
    const std::vector<float> before = values();

    click(handleOf(1));
    EXPECT_EQ(steps().selectedSteps(), (std::vector<int>{1}));
    EXPECT_TRUE(stepPanel().visible);
    EXPECT_EQ(stepPanel().caption(), "Step 2");
    EXPECT_EQ(panel->width(), XLFOSourceInterface::kControlsWidth + 8 * XLFOController::stepWidth(8) +
                                  XLFOController::StepInterface::kWidth);

    click(handleOf(4), kCtrl);
    EXPECT_EQ(steps().selectedSteps(), (std::vector<int>{1, 4}));
    EXPECT_EQ(stepPanel().caption(), "(Multiple)");

    click(handleOf(1), kCtrl);
    EXPECT_EQ(steps().selectedSteps(), (std::vector<int>{4}));
    EXPECT_EQ(stepPanel().caption(), "Step 5");

    click(handleOf(2));
    click(handleOf(6), kShift);
    EXPECT_EQ(steps().selectedSteps(), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(steps().lastSelectedStep(), 6);

    // A plain click away from a handle clears the selection and hides the step panel.
    click(offHandle(3));
    EXPECT_TRUE(steps().selectedSteps().empty());
    EXPECT_FALSE(stepPanel().visible);

    // Selecting never edits (Ctrl is also the reset key).
    expectValues(values(), before);
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(XLFOEditorTest, SelectedStepsMoveTogetherAndTakeTheStepPanelsValue) {
    setSteps({0.f, -0.5f, 0.f, 0.f, 0.25f, 0.f});
    click(handleOf(1));
    click(handleOf(4), kCtrl);

    const gui::Point from = handleOf(1);
    drag(from, {from.x, from.y - 20});
    const std::vector<float> v = values();
    EXPECT_GT(v[1], -0.5f + 0.1f);
    EXPECT_NEAR(v[1] - -0.5f, v[4] - 0.25f, 1e-3f);
    expectValues({v[0], v[2], v[3], v[5]}, {0.f, 0.f, 0.f, 0.f});

    // The panel's Value knob shows the last selected step; its edit goes to both.
    gui::ValueControl& knob = *stepPanel().control(XLFOController::ValueKnob);
    knob.edit(gui::ValueControl::Begin, 0);
    knob.edit(gui::ValueControl::Change, knob.maximum - knob.value);
    knob.edit(gui::ValueControl::End, 0);
    EXPECT_FLOAT_EQ(editor.value(stepParameter(1, x.stepValue)), 1.0f);
    EXPECT_FLOAT_EQ(editor.value(stepParameter(4, x.stepValue)), 1.0f);
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(XLFOEditorTest, SnapShowsTheNearestOfTwentyFiveLevels) {
    setSteps({0.02f, 0.f});
    editor.setPlain(x.snap, 1.0f);
    EXPECT_EQ(steps().step(0).maximum, XLFOController::kSnapRange);
    EXPECT_EQ(steps().step(0).value, 12);
    click(handleOf(0));
    gui::ValueControl& knob = *stepPanel().control(XLFOController::ValueKnob);
    EXPECT_EQ(knob.maximum, XLFOController::kSnapRange);
    EXPECT_EQ(knob.value, 12);
}

TEST_F(XLFOEditorTest, ARandomStepSitsInTheMiddleAndCannotBeDragged) {
    setSteps({0.8f, 0.f});
    editor.setPlain(stepParameter(0, x.stepRandom), 1.0f);
    XLFOController::StepSlider& random = steps().step(0);
    EXPECT_EQ(random.handleCentre(), steps().step(1).handleCentre());

    const gui::Point handle = handleOf(0);
    drag(handle, {handle.x, handle.y - 30});
    EXPECT_FLOAT_EQ(editor.value(stepParameter(0, x.stepValue)), 0.8f);
    click(handle);
    EXPECT_EQ(steps().selectedSteps(), (std::vector<int>{0}));
    EXPECT_FALSE(stepPanel().control(XLFOController::ValueKnob)->interactive);
    EXPECT_EQ(stepPanel().control(XLFOController::ValueKnob)->opacity, 128);
}

TEST_F(XLFOEditorTest, AddStepInsertsACopyAfterTheLastSelectedStep) {
    setSteps({0.1f, 0.2f, 0.3f, 0.4f});
    editor.setPlain(stepParameter(2, x.stepGlide), 0.5f);

    click(handleOf(2));
    clickButton(XLFOController::StepInterface::AddButton);
    expectValues(values(), {0.1f, 0.2f, 0.3f, 0.3f, 0.4f});
    EXPECT_FLOAT_EQ(editor.value(stepParameter(3, x.stepGlide)), 0.5f);
    EXPECT_EQ(steps().selectedSteps(), (std::vector<int>{3}));
    EXPECT_EQ(stepPanel().caption(), "Step 4");

    // Without a selection the copy of the last step goes at the end.
    clickButton(XLFOController::StepInterface::HideButton);
    steps().addStep();
    expectValues(values(), {0.1f, 0.2f, 0.3f, 0.3f, 0.4f, 0.4f});
    EXPECT_EQ(steps().selectedSteps(), (std::vector<int>{5}));

    // Sixteen steps are the most: the button is disabled and adding does nothing.
    editor.setPlain(x.stepCount, 16.0f);
    steps().addStep();
    EXPECT_EQ(std::lround(editor.value(x.stepCount)), 16);
    EXPECT_FALSE(stepPanel().button(XLFOController::StepInterface::AddButton)->interactive);
    EXPECT_EQ(stepPanel().button(XLFOController::StepInterface::AddButton)->opacity, 128);
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(XLFOEditorTest, RemoveStepRemovesTheSelectedStepsAndNoOthers) {
    setSteps({-0.5f, -0.3f, -0.1f, 0.1f, 0.3f, 0.5f});
    editor.setPlain(stepParameter(5, x.stepGlide), 0.75f);

    click(handleOf(1));
    click(handleOf(3), kCtrl);
    clickButton(XLFOController::StepInterface::RemoveButton);
    expectValues(values(), {-0.5f, -0.1f, 0.3f, 0.5f});
    // Whole steps move: the glide went with its step, and the freed steps are back at defaults.
    EXPECT_FLOAT_EQ(editor.value(stepParameter(3, x.stepGlide)), 0.75f);
    EXPECT_FLOAT_EQ(editor.value(stepParameter(5, x.stepGlide)), 0.0f);
    EXPECT_TRUE(steps().selectedSteps().empty());
    EXPECT_FALSE(stepPanel().visible);

    // Nothing selected: the last step goes.
    steps().removeSelectedSteps();
    expectValues(values(), {-0.5f, -0.1f, 0.3f});

    // One step always stays.
    setSteps({0.7f});
    click(handleOf(0));
    EXPECT_FALSE(stepPanel().button(XLFOController::StepInterface::RemoveButton)->interactive);
    steps().removeSelectedSteps();
    expectValues(values(), {0.7f});
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(XLFOEditorTest, SyncModeSwapsTheRateForTheOffsetAndItsExactHotSpots) {
    EXPECT_TRUE(panel->frequencyKnob().visible);
    EXPECT_FALSE(panel->frequencyOffsetKnob().visible);
    editor.setPlain(x.syncMode, 7.0f);  // 1/4
    EXPECT_FALSE(panel->frequencyKnob().visible);
    EXPECT_TRUE(panel->frequencyOffsetKnob().visible);

    AbstractPluginParameter& offset = *editor.parameter(x.frequencyOffset);
    const double ratios[] = {2.0 / 3.0, 0.75, 1.0, 4.0 / 3.0, 1.5};
    for (int i = 0; i < XLFOSourceInterface::kHotSpots; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(panel->hotSpot(i).visible);
        click(centreOf(panel->hotSpot(i)));
        // Rounded ratios (0.6667) would be 5e-5 off: a synced XLFO would drift bar after bar.
        EXPECT_NEAR(offset.plainToDisplay(offset.value()), ratios[i], 2e-6 * ratios[i]);
    }
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(XLFOEditorTest, PhaseOffsetDragWrapsAroundBothEnds) {
    XLFOController::PhaseOffsetSlider& phase = steps().phaseOffset();
    const int width = phase.width();
    ASSERT_EQ(editor.value(x.phaseOffset), 0.0f);

    // Left from 0 comes in from the right end instead of sticking at 0.
    const gui::Point marker = phase.toRoot({2, phase.height() / 2});
    drag(marker, {marker.x - 40, marker.y});
    const float expected = 1.0f - 40.0f / float(width);
    EXPECT_NEAR(editor.value(x.phaseOffset), expected, 0.02f);

    // And right past the end continues from the left.
    const gui::Point moved = phase.toRoot({phase.markerX() + 2, phase.height() / 2});
    drag(moved, {moved.x + 60, moved.y});
    EXPECT_NEAR(editor.value(x.phaseOffset), expected + 60.0f / float(width) - 1.0f, 0.02f);
    EXPECT_TRUE(editor.allGesturesEnded());
}

}  // namespace
}  // namespace sources::test
