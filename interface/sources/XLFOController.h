#pragma once

#include <array>
#include <functional>
#include <vector>

#include "core/NotifyEvent.h"
#include "gui/AnimatedControl.h"
#include "gui/Animation.h"
#include "gui/Curve.h"
#include "gui/Switch.h"
#include "gui/Text.h"
#include "gui/ValueDragMapper.h"
#include "interface/sources/SourceLayout.h"

class ParameterEditor;
class ParameterWatcher;
class SourceArt;

namespace gui {
class Button;
class Knob;
class Label;
class SelectButton;
class ToggleButton;
}

// The step editor of an XLFO: one slider per step, the phase offset marker above them and, while
// steps are selected, the panel that edits the selected steps. Selected steps move together.
// Every change goes through the editor as parameter edits. With an animator, changes of the step
// count or of the selection slide the steps and the panel to their new places. [ui]
class XLFOController : public gui::AnimatedControl {
public:
    static constexpr int kMaxSteps = 16;
    static constexpr int kMaxStepWidth = 50;
    static constexpr int kMinStepWidth = 16;
    static constexpr int kPhaseOffsetHeight = 12;
    // Slider positions of a step's value: fine when free, the 25 snap levels when snapping.
    static constexpr int kFreeRange = 1000;
    static constexpr int kSnapRange = 24;
    // The kinds of control on the step panel.
    enum StepControl { ValueKnob = 0, GlideKnob = 1, GlideFunctionSelector = 2, RandomSwitch = 3 };

    class StepSlider;
    class PhaseOffsetSlider;
    class StepInterface;
    class ResizeAnimation;

    // Where the steps and the step panel stand, and the width they take.
    struct Geometry {
        std::array<int, 16> left{}, width{};
        int panelLeft = 0;
        int total = 0;
    };

    // The output of one step as the XLFO draws it: the step's value held, then gliding into the
    // next step's value along the step's glide curve. x in 0..1 across the step, result 0..1.
    class StepCurve : public gui::Curve {
    public:
        float value(float x) const override;
        // Normalised values of this and the next step, the glide amount (0..1) and its curve.
        float from = 0.5f, to = 0.5f, glide = 0.0f;
        int function = 0;
    };

    // The width of each step with n steps shown: 50 pixels for one step down to 16 for sixteen.
    static int stepWidth(int n);

    XLFOController(gui::UserInterface* ui, ParameterEditor& editor, SourceArt& art);
    ~XLFOController() override;

    // Binds the sliders, the phase offset marker and the step panel to one XLFO.
    void setParameters(const SourceLayout::XLFO& xlfo);
    void releaseParameters();

    void setStepCount(int n);
    int stepCount() const { return count_; }
    void selectStep(int i, bool on);
    // -1 deselects all.
    void selectOnly(int i);
    // The steps from a to b (either order).
    void selectRange(int a, int b);
    int lastSelectedStep() const { return lastSelected_; }
    bool isSelected(int i) const;
    std::vector<int> selectedSteps() const;
    // Inserts a copy of the step before the new one, after the last selected step or at the end.
    void addStep();
    // Removes the selected steps, or the last step when none is selected; one step always stays.
    void removeSelectedSteps();
    // A step panel control's edit, applied to the same parameter of every selected step.
    void applyToSelected(int control, double normalized, int phase);
    // Redraws the steps and their curves from the parameters.
    void refreshSteps();

    StepSlider& step(int i) { return *steps_[std::size_t(i)]; }
    PhaseOffsetSlider& phaseOffset() { return *phaseOffset_; }
    StepInterface& stepInterface() { return *stepInterface_; }
    bool isSnapping() const { return snapping_; }
    int stepsWidth() const { return count_ * stepWidth(count_); }
    // The width the controller wants: the steps and, while steps are selected, the step panel.
    int preferredWidth() const;
    // The width it takes now (on the way to the preferred width while it animates).
    int shownWidth() const { return shown_.total; }
    const Geometry& geometry() const { return shown_; }

    // Fires when the shown width changes; sender = the controller.
    NotifyEvent layoutChangedEvent;

    void mouseDown(int button, gui::Point point, int flags) override;
    void paint(gui::Canvas& canvas) override;
    void resized() override;

private:
    friend class StepSlider;
    friend class StepInterface;

    int stepParameter(int step, int offset) const { return xlfo_.firstStep + step * xlfo_.stepStride + offset; }
    // A step's parameters in the order of the step panel's controls.
    std::array<int, 4> stepOffsets() const {
        return {xlfo_.stepValue, xlfo_.stepGlide, xlfo_.stepGlideFunction, xlfo_.stepRandom};
    }
    double normalizedValue(int index) const;
    float plainValue(int index) const;
    bool isRandom(int step) const;
    Geometry target() const;
    // Slides to the target layout with an animator, else jumps there.
    void layout();
    void applyGeometry(const Geometry& g);
    void selectionChanged();
    void snapChanged();
    void countChanged();
    // Moves the step at from onto position to (all its parameters), as part of a batch.
    void copyStep(int from, int to, std::vector<int>& touched);
    void resetStep(int step, std::vector<int>& touched);
    void set(int index, double normalized, std::vector<int>& touched);
    void removeStep(int position, std::vector<int>& touched);
    void updateCurves();
    // Hears of the parameter's changes through a hidden bound control.
    void watch(int index, std::function<void()> changed);

    ParameterEditor& editor_;
    SourceArt& art_;
    SourceLayout::XLFO xlfo_;
    bool bound_ = false;
    std::array<StepSlider*, kMaxSteps> steps_{};
    std::array<bool, kMaxSteps> selected_{};
    int count_ = 2;
    int lastSelected_ = -1;
    bool snapping_ = false;
    PhaseOffsetSlider* phaseOffset_ = nullptr;
    StepInterface* stepInterface_ = nullptr;
    std::vector<std::pair<int, gui::ValueControl*>> watched_;
    Geometry shown_;
};

// Moves every step, the step panel and the controller's width from where they stand to a new
// layout, eased smoothly (x^2 (3 - 2x)); steps leaving the count shrink to nothing.
class XLFOController::ResizeAnimation : public gui::Animation {
public:
    static constexpr int kDurationMs = 200;
    ResizeAnimation(gui::Animator* animator, XLFOController& owner, const Geometry& to);
    void apply(float x) override;

private:
    XLFOController& owner_;
    Geometry from_, to_;
};

// One step's value, bottom (-1) to top (1). A click selects it, Ctrl toggles it, Shift selects a
// range; dragging a selected step moves every selected step by the same amount.
class XLFOController::StepSlider : public gui::Switch {
public:
    static constexpr int kHandleHeight = 8;
    static constexpr int kMoveThreshold = 2;

    StepSlider(gui::UserInterface* ui, XLFOController& owner, int number);

    int number() const { return number_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool on);
    void setSnap(bool on);
    bool snaps() const { return snap_; }
    bool isRandom() const;
    // The y of the handle's centre, and the band around it that grabs the step.
    int handleCentre() const;
    bool onHandle(gui::Point point) const;
    StepCurve& curve() { return curve_; }

    void valueRangeChanged(AbstractProperty* property) override;
    void mouseDown(int button, gui::Point point, int flags) override;
    void mouseMove(gui::Point point, int flags) override;
    void mouseUp(int button, gui::Point point, int flags) override;
    void paint(gui::Canvas& canvas) override;

private:
    // Fraction of the height: the top and bottom keep half a handle free.
    int travelPixels() const { return std::max(height() - kHandleHeight - 14, 1); }

    XLFOController& owner_;
    int number_;
    bool selected_ = false;
    bool snap_ = false;
    gui::Point press_;
    int pressFlags_ = 0;
    int pressValue_ = 0;
    bool pressed_ = false;
    bool moved_ = false;
    bool pressedOnHandle_ = false;
    StepCurve curve_;
    gui::Text label_;
};

// The phase offset: a marker over the steps, dragged sideways; it wraps around at both ends.
class XLFOController::PhaseOffsetSlider : public gui::ValueControl {
public:
    static constexpr int kMarkerWidth = 6;
    static constexpr int kRange = 1000;

    explicit PhaseOffsetSlider(gui::UserInterface* ui);

    int markerX() const;
    bool onMarker(gui::Point point) const;
    bool isDragging() const { return dragging_; }
    gui::ValueDragMapper& mapper() { return mapper_; }

    void resized() override;
    void mouseDown(int button, gui::Point point, int flags) override;
    void mouseMove(gui::Point point, int flags) override;
    void mouseUp(int button, gui::Point point, int flags) override;
    void mouseExited() override;
    void paint(gui::Canvas& canvas) override;

private:
    gui::ValueDragMapper mapper_;
    bool hover_ = false;
    bool dragging_ = false;
    int lastX_ = 0;
};

// The panel that edits the selected steps: it shows the last selected step, and its edits go to
// every selected step.
class XLFOController::StepInterface : public gui::Control {
public:
    static constexpr int kWidth = 124;
    enum ButtonKind { HideButton = 0, RemoveButton = 1, AddButton = 2 };

    StepInterface(gui::UserInterface* ui, XLFOController& owner);
    ~StepInterface() override;

    // Shows the step (binding its controls), or nothing for -1.
    void showStep(int step);
    int shownStep() const { return shown_; }
    std::string caption();
    gui::ValueControl* control(int kind) const { return controls_[std::size_t(kind)]; }
    gui::Button* button(int kind) const { return buttons_[std::size_t(kind)]; }
    // Enables the buttons and the Value knob for the step count and the shown step.
    void refreshState();
    void setSnap(bool on);

    void paint(gui::Canvas& canvas) override;

private:
    void unbind();
    void controlEditBegan(void* sender);
    void controlChanged(void* sender);
    void controlEditEnded(void* sender);
    void buttonClicked(void* sender);
    int kindOf(void* sender) const;

    XLFOController& owner_;
    int shown_ = -1;
    gui::Label* caption_ = nullptr;
    std::array<gui::ValueControl*, 4> controls_{};
    std::array<gui::Button*, 3> buttons_{};
    std::vector<std::pair<int, gui::ValueControl*>> bound_;
};
