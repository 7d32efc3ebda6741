#pragma once

#include <utility>
#include <vector>

#include "gui/Control.h"

class AbstractSlotController;
class ModulationArt;
class ModulationMatrixPluginInterface;

namespace gui {
class Button;
class Image;
class LevelButton;
class SelectButton;
class ToggleButton;
class ValueControl;
}  // namespace gui

// One row of the slot list: the slot's target, its level (itself a modulation target), the +/-
// and bypass switches, the remove button and, when the connection would form a loop, the warning
// sign. The target menu offers only targets whose source is in use. [ui]
class SlotInterface : public gui::Control {
public:
    static constexpr int kHeight = 16;
    static constexpr int kWidth = 214;
    static constexpr const char* kWarningHint =
        "Although you can modulate almost any parameter with any source, some connections are not possible because "
        "they would introduce infinite loops. The slot with this sign is one of them: the modulation matrix ignores it "
        "until you bypass it, clear it or choose another target.";
    static constexpr const char* kRemoveHint =
        "The Remove Slot button clears the modulation connection and removes the slot from the interface. Slots that "
        "modulate the level of this slot are removed with it.";

    // The art may be none (plain looks).
    SlotInterface(gui::UserInterface* ui, AbstractSlotController& slots, const ModulationArt* art = nullptr);
    ~SlotInterface() override;

    // Shows another slot; the bindings of the old one are released first.
    virtual void setIndex(int slot);
    // Re-reads the slot: the warning sign and the dim look of a highlight.
    virtual void refresh();
    int slot() const { return slot_; }
    void setHighlight(int state);
    int highlight() const { return highlight_; }
    bool warningShown() const;

    gui::SelectButton* targetButton() const { return target_; }
    gui::LevelButton* levelSlider() const { return level_; }
    gui::ToggleButton* bypassButton() const { return bypass_; }
    gui::ToggleButton* invertButton() const { return invert_; }
    gui::Button* removeButton() const { return remove_; }

    void paint(gui::Canvas& canvas) override;

protected:
    // Places the warning sign after the row's controls.
    virtual void layoutExtras();

private:
    class TargetButton;
    void bind(int parameter, gui::ValueControl* control, int target = -1);
    void releaseBindings();
    void removeClicked(void*);

    AbstractSlotController& slots_;
    ModulationMatrixPluginInterface& editor_;
    int slot_ = -1;
    int highlight_ = 0;
    gui::SelectButton* target_ = nullptr;
    gui::LevelButton* level_ = nullptr;
    gui::ToggleButton* invert_ = nullptr;
    gui::ToggleButton* bypass_ = nullptr;
    gui::Button* remove_ = nullptr;
    gui::Image* warning_ = nullptr;
    std::vector<std::pair<int, gui::ValueControl*>> bindings_;
};
