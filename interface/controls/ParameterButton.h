#pragma once

#include <array>
#include <memory>
#include <vector>

#include "gui/Button.h"
#include "gui/ValueDragMapper.h"

class ParameterEditor;
class AbstractPluginParameter;

// A button that edits up to four parameters by dragging in two directions: right and up increase
// the horizontal and vertical parameter; with the reset modifier held the alternate pair is edited
// instead (switching mid-drag); with the fine modifier only the axis moved further since the press
// changes. A drag starts after 4 pixels; a shorter press is a click, which resets every parameter
// when its modifiers are exactly the reset modifier and otherwise runs the button's click action.
// Continuous parameters move in steps of 1/65536, indexed ones by their index. [ui]
class ParameterButton : public gui::Button {
public:
    enum Place { Horizontal = 0, Vertical = 1, AlternateHorizontal = 2, AlternateVertical = 3 };
    enum DragMode { Idle = 0, Pressed = 1, Dragging = 2 };
    enum LockedAxis { NoAxis = -1, VerticalDominant = 0, HorizontalDominant = 1 };
    static constexpr int kContinuousSteps = 65536;
    static constexpr int kDragThreshold = 4;

    ParameterButton(gui::UserInterface* ui, ParameterEditor& editor, const gui::Button::Style* style = nullptr);
    ~ParameterButton() override;

    // Binds a parameter (-1 unbinds) to a place and takes its range.
    void setParameter(int place, int parameter);
    int parameterAt(int place) const { return places_[place].index; }
    // The place's parameter changed: its value display is redrawn.
    virtual void showParameter(int parameter);
    // Sets every bound parameter, and the further ones of a derived button, to its default, each
    // in a gesture of its own.
    virtual void resetAll();

    // Two buttons edited together: with the linked modifier held, a drag of either moves the
    // other's parameters by the same steps.
    void linkWith(ParameterButton* other);
    ParameterButton* linkedButton() const { return partner_; }

    int dragMode() const { return dragMode_; }
    bool alternate() const { return alternate_; }
    int lockedAxis() const { return lockedAxis_; }
    bool linkedEditing() const { return linkedEditing_; }
    gui::ValueDragMapper& mapper(int place) { return *places_[place].mapper; }
    ParameterEditor& editor() const { return *editor_; }

    void mouseDown(int button, gui::Point point, int flags) override;
    void mouseMove(gui::Point point, int flags) override;
    void mouseUp(int button, gui::Point point, int flags) override;
    void cancelMouse() override;

protected:
    struct Slot {
        int index = -1;
        bool indexed = false;
        int minimum = 0;
        int maximum = kContinuousSteps;
        int pressValue = 0;
        int accumulated = 0;
        int applied = 0;
        bool editing = false;
        std::unique_ptr<gui::ValueDragMapper> mapper;
    };

    // A plain click (or one with a modifier that is not exactly reset).
    virtual void clickAction(int flags);
    // Further parameters a reset covers.
    virtual std::vector<int> furtherResetParameters() const { return {}; }
    // Whether a press starts the drag at once (no threshold).
    virtual bool dragsFromPress() const { return false; }

    AbstractPluginParameter* parameterOf(int place) const;
    // The parameter's current value in the place's steps.
    int currentSteps(int place) const;
    void beginPair(bool alternate);
    void endPair(bool alternate);
    // Moves a place by steps through its unclamped accumulator.
    void step(int place, int delta);
    // Sets a place to an absolute step value.
    void setSteps(int place, int value);
    void resetParameter(int index);
    Slot& slot(int place) { return places_[place]; }

    gui::Point pressPoint_;
    gui::Point lastPoint_;

private:
    void startDragging(int flags);
    void finishDrag();
    // Starts or stops the linked button's edits as the linked modifier comes and goes.
    void followLink();
    void stopFollowing();

    ParameterEditor* editor_;
    std::array<Slot, 4> places_;
    int dragMode_ = Idle;
    bool alternate_ = false;
    int lockedAxis_ = NoAxis;
    bool linkedEditing_ = false;
    ParameterButton* partner_ = nullptr;
    bool partnerFollows_ = false;
};
