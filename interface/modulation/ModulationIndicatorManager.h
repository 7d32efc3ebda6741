#pragma once

#include <vector>

#include "gui/Component.h"
#include "interface/modulation/AbstractSlotController.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"

class ModulationIndicator;

namespace gui {
class Button;
class Timer;
}  // namespace gui

// The indicators of every target control: created as controls become targets, shown while slots
// modulate their targets, selected while the slot list shows their targets' slots. [ui]
class ModulationIndicatorManager : public gui::Component,
                                   public AbstractSlotController::Listener,
                                   public ModulationMatrixPluginInterface::TargetListener {
public:
    static constexpr int kFlashMs = 250;

    struct Placement {
        int horizontal = 2;  // 0 left, 1 centred, 2 right
        int vertical = 0;    // 0 top, 1 middle, 2 bottom
        int offsetX = 0;
        int offsetY = 0;
    };

    ModulationIndicatorManager(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor,
                               AbstractSlotController& slots);
    ~ModulationIndicatorManager() override;

    void targetControlChanged(int parameter, gui::ValueControl* control, int target, int code) override;
    void slotsChanged(int activeCount) override;

    // An indicator for a range of targets on any control (a button standing for several targets).
    ModulationIndicator* addIndicator(gui::Control* control, int firstTarget, int count);
    // While raised, new target controls get no indicators of their own.
    void suppress(bool on) { suppression_ += on ? 1 : -1; }
    // Shows the indicator's state for new targets.
    void retarget(ModulationIndicator* indicator, int firstTarget, int count);
    // The button that shows the modulation section: while it is off, clicks on indicators flash it.
    void setModulationButton(gui::Button* button) { modulationButton_ = button; }
    bool flashing() const;
    const Placement& placement() const { return placement_; }
    void setPlacement(const Placement& p) { placement_ = p; }
    // The range indicator added on the control, or none.
    ModulationIndicator* indicatorOn(const gui::Control* control) const;
    // The indicator in the parameter's place, or none.
    ModulationIndicator* indicatorOf(int parameter) const;
    int slotsOfTarget(int target) const;

    void indicatorClicked(ModulationIndicator* indicator);
    void indicatorGone(ModulationIndicator* indicator);

private:
    ModulationIndicator* create(gui::Control* control, int target, int place);
    void destroy(int place);
    void updateState(ModulationIndicator* indicator);
    void flashEnded(void*);

    ModulationMatrixPluginInterface& editor_;
    AbstractSlotController& slots_;
    std::vector<ModulationIndicator*> places_;
    std::vector<ModulationIndicator*> extra_;
    ModulationIndicator* last_ = nullptr;
    int suppression_ = 0;
    gui::Button* modulationButton_ = nullptr;
    gui::Timer* flashTimer_ = nullptr;
    std::vector<int> counts_;
    Placement placement_;
    std::unique_ptr<gui::Button::Style> style_;
};
