#pragma once

#include <array>

#include "interface/sources/LorimaneSourceInterface.h"

class ParameterWatcher;
class XLFOController;

namespace gui {
class Button;
}

// The panel of one XLFO: rate (or, when synced, the offset from the tempo with its hot spots),
// balance, glide, sync mode, MIDI trigger, snap, and the step editor. Its width follows the step
// editor's. [ui]
class XLFOSourceInterface : public LorimaneSourceInterface {
public:
    static constexpr int kHeight = 140;
    // The width left of the step editor.
    static constexpr int kControlsWidth = 179;
    static constexpr int kHotSpots = 5;

    XLFOSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout);

    // The tempo ratios of the hot spots: 2/3, 3/4, 1, 4/3 and 3/2.
    static double hotSpotRatio(int i);

    void refresh() override;
    XLFOController& stepEditor() { return *controller_; }
    gui::Knob& frequencyKnob() { return *frequency_; }
    gui::Knob& frequencyOffsetKnob() { return *frequencyOffset_; }
    gui::Button& hotSpot(int i) { return *hotSpots_[std::size_t(i)]; }
    bool isSynced() const { return synced_; }

    void paint(gui::Canvas& canvas) override;

protected:
    void bindSet(int set) override;

private:
    void layoutWidth(void*);
    void hotSpotClicked(void* sender);

    XLFOController* controller_ = nullptr;
    gui::Knob* frequency_ = nullptr;
    gui::Knob* frequencyOffset_ = nullptr;
    gui::Knob* balance_ = nullptr;
    gui::Knob* glide_ = nullptr;
    gui::SelectButton* syncMode_ = nullptr;
    gui::ToggleButton* midiTrigger_ = nullptr;
    gui::ToggleButton* snap_ = nullptr;
    std::array<gui::Button*, kHotSpots> hotSpots_{};
    gui::Image* labels_ = nullptr;
    gui::Image* labelsSync_ = nullptr;
    gui::Image* scale_ = nullptr;
    gui::Image* piano_ = nullptr;
    // Sync mode and snap change what the panel shows.
    std::array<ParameterWatcher*, 2> watchers_{};
    SourceLayout::XLFO xlfo_;
    bool synced_ = false;
};
