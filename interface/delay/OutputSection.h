#pragma once

#include <array>

#include "gui/Knob.h"
#include "interface/delay/StripSection.h"

class BackgroundDimmer;
class DrySwitch;

// The strip's output section: dry and wet level knobs inside their pan rings, the dry switch in
// two halves, and the dimmer over the dry controls while the dry signal is off. [ui]
class OutputSection : public StripSection {
public:
    static constexpr int kLeft = 520;
    static constexpr int kWidth = 120;
    static constexpr int kDryDimmerAlpha = 170;

    OutputSection(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin, const StyleTable& styles);

    void parameterChanged(int index) override;

    gui::Knob* dryLevel() const { return dryLevel_; }
    gui::Knob* wetLevel() const { return wetLevel_; }
    DrySwitch* drySwitch(int half) const { return dry_[std::size_t(half)]; }
    gui::Control* dryDimmer() const { return dryDimmer_; }

private:
    gui::Knob* dryLevel_ = nullptr;
    gui::Knob* wetLevel_ = nullptr;
    std::array<DrySwitch*, 2> dry_{};
    gui::Control* dryDimmer_ = nullptr;
};
