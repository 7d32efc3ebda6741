#pragma once

#include <array>

#include "gui/Image.h"
#include "interface/delay/StripSection.h"
#include "persistence/ComponentPresetHandler.h"

class ComponentDisplay;
class FilterButton;
class SectionPresetButton;

namespace gui {
class DragManager;
}

// The strip's filter section: the routing diagram with the two filter buttons standing where the
// routing puts them (side by side in series, one above the other otherwise), the routing select
// and the section's presets. The filter buttons open the filter panel. [ui]
class FilterSection : public StripSection {
public:
    static constexpr int kLeft = 325;
    static constexpr int kWidth = 195;

    // The filter buttons' places per routing, from the section's top-left corner.
    struct ButtonPlaces {
        gui::Point first, second;
    };
    static constexpr ButtonPlaces kSerial{{16, 94}, {105, 94}};
    static constexpr ButtonPlaces kStacked{{68, 27}, {68, 159}};

    FilterSection(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin, const StyleTable& styles,
                  ComponentDisplay* strip, int panelComponent, gui::DragManager* dragManager,
                  ComponentPresetHandler::MessageFunction showMessage);

    void parameterChanged(int index) override;

    FilterButton* filterButton(int filter) const { return buttons_[std::size_t(filter)]; }
    gui::Image* routingImage(int routing) const { return routing_[std::size_t(routing)]; }

private:
    std::array<gui::Image*, 3> routing_{};
    std::array<FilterButton*, 2> buttons_{};
    SectionPresetButton* presets_ = nullptr;
};
