#pragma once

#include <array>

#include "interface/sources/LorimaneSourceInterface.h"

// The panel of one envelope follower: its input (when the plug-in has a side chain), attack and
// release. [ui]
class EFSourceInterface : public LorimaneSourceInterface {
public:
    static constexpr int kWidth = 132;
    static constexpr int kHeight = 140;

    EFSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout);

    gui::ToggleButton& inputButton(int i) { return *inputs_[std::size_t(i)]; }
    gui::Knob& attackKnob() { return *attack_; }
    gui::Knob& releaseKnob() { return *release_; }

protected:
    void bindSet(int set) override;

private:
    std::array<gui::ToggleButton*, 2> inputs_{};
    gui::Knob* attack_ = nullptr;
    gui::Knob* release_ = nullptr;
};
