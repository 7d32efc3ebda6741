#pragma once

#include "gui/Button.h"

class ModulationIndicatorManager;

// The small button on a modulated control: it shows while slots modulate the control's targets
// and, clicked, highlights the slots and sources responsible. It follows its control. [ui]
class ModulationIndicator : public gui::Button {
public:
    enum State { Hidden = 0, Modulated = 1, Selected = 2 };
    static constexpr const char* kHint =
        "The modulation indicator lets you know that a knob, a component button or an envelope generator is being "
        "modulated. Click the button to highlight the sources and slots responsible for this modulation.";

    ModulationIndicator(gui::UserInterface* ui, ModulationIndicatorManager& manager, gui::Control* control,
                        int firstTarget, int targetCount, const gui::Button::Style* style);
    ~ModulationIndicator() override;

    gui::Control* control() const { return control_; }
    int firstTarget() const { return firstTarget_; }
    int targetCount() const { return targetCount_; }
    void setTargets(int firstTarget, int targetCount);
    int place() const { return place_; }
    void setPlace(int place) { place_ = place; }
    int state() const { return state_; }
    void setState(int state);
    // Follows the control's place, visibility and opacity.
    void follow();

    void childChanged(gui::Control* source, int kind) override;
    void clicked() override;
    void linkRemoved(gui::Component* component) override;
    void paint(gui::Canvas& canvas) override;

private:
    ModulationIndicatorManager* manager_;
    gui::Control* control_;
    int firstTarget_;
    int targetCount_;
    int place_ = -1;
    int state_ = Hidden;
    bool following_ = false;
};
