#pragma once

#include "interface/controls/ModulationComponentButton.h"

class FilterController;
class LorimanePlugin;
class StyleTable;

// The button of one filter in the strip's filter section: dragging right and up changes the
// filter's frequency and peak, with Ctrl its pan and response; a click opens the filter panel;
// the switch in its top-left corner enables the filter. It shows the filter's response as a small
// curve without dots. [ui]
class FilterButton : public ModulationComponentButton {
public:
    static constexpr const char* kHelp =
        "The filter buttons show each filter's response. Drag one left and right to change the filter's "
        "frequency, up and down to change its peak; hold Ctrl while dragging to change its panning and its "
        "response instead, and Shift to move in one direction only. Click a button to open the filter "
        "section, Ctrl-click it to reset the filter. The switch in the top-left corner enables the filter.";

    FilterButton(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin, const StyleTable& styles,
                 ComponentDisplay* display, int component, int filter, gui::DragManager* dragManager = nullptr);

    int filter() const { return filter_; }
    FilterController* curve() const { return curve_; }

    // A change of one of the filter's parameters (-1: any) redraws the curve.
    void showParameter(int parameter) override;
    void resized() override;

protected:
    void paintFace(gui::Canvas& canvas) override;

private:
    int filter_;
    int firstParameter_;
    int lastParameter_;
    int enabledParameter_;
    FilterController* curve_ = nullptr;
    gui::Text title_;
};
