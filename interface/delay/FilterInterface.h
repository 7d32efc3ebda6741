#pragma once

#include <array>

#include "gui/Image.h"
#include "gui/Knob.h"
#include "interface/delay/StripSection.h"

class ComponentDisplay;
class FilterController;

namespace gui {
class Button;
}

// The filter section's open panel: the interactive filter display with both filters' dots, and
// below it per filter its enable switch, characteristic, pan ring, frequency knob, response, slope
// and peak. The collapse button closes the panel. [ui]
class FilterInterface : public StripSection {
public:
    static constexpr int kWidth = 286;
    static constexpr int kHeight = 263;
    static constexpr int kFilterShift = 138;
    static constexpr int kEnabledPanelAlpha = 64;
    static constexpr int kDisabledPanelAlpha = 128;
    static constexpr const char* kHelp =
        "With the interactive filter display, you can control the cut-off and peak of both filters. Just grab one "
        "of the dots and drag it around. Ctrl-click a dot to change its response, Shift-click it to change its "
        "slope; hold Alt to move both dots, Alt and Ctrl to move the second dot mirrored.";

    FilterInterface(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin, const StyleTable& styles,
                    ComponentDisplay* strip, int component);

    void parameterChanged(int index) override;
    void paint(gui::Canvas& canvas) override;
    // Closes the panel.
    void close();

    FilterController* display() const { return display_; }
    gui::Button* collapseButton() const { return collapse_; }
    gui::Image* filterPanel(int filter) const { return panels_[std::size_t(filter)]; }
    gui::Knob* frequencyKnob(int filter) const { return frequency_[std::size_t(filter)]; }

private:
    void collapseClicked(void*);

    ComponentDisplay* strip_;
    int component_;
    FilterController* display_ = nullptr;
    gui::Button* collapse_ = nullptr;
    std::array<gui::Image*, 2> panels_{};
    std::array<gui::Knob*, 2> frequency_{};
    std::array<int, 2> enabled_{};
};
