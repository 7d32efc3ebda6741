#pragma once

#include <array>

#include "interface/sources/LorimaneSourceInterface.h"

class EGController;
class ParameterWatcher;

// The panel of one envelope generator: what triggers it (normal input, side chain or MIDI), the
// audio threshold, and the envelope display. [ui]
class EGSourceInterface : public LorimaneSourceInterface {
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 140;

    EGSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout);

    void refresh() override;
    EGController& envelope() { return *envelope_; }
    gui::ToggleButton& triggerButton(int i) { return *triggers_[std::size_t(i)]; }
    gui::Knob& thresholdKnob() { return *threshold_; }

protected:
    void bindSet(int set) override;

private:
    std::array<gui::ToggleButton*, 3> triggers_{};
    gui::Knob* threshold_ = nullptr;
    gui::Label* thresholdLabel_ = nullptr;
    EGController* envelope_ = nullptr;
    ParameterWatcher* watcher_ = nullptr;
    SourceLayout::EG eg_;
};
