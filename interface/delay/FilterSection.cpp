#include "interface/delay/FilterSection.h"

#include <cmath>

#include "engine/LorimanePlugin.h"
#include "gui/Image.h"
#include "gui/SelectButton.h"
#include "interface/delay/FilterButton.h"
#include "interface/delay/StyleTable.h"

namespace {

constexpr const char* kRoutingImages[3] = {"FilterSerialBack", "FilterParallelBack", "FilterPerChannelBack"};

}  // namespace

FilterSection::FilterSection(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin,
                             const StyleTable& styles, ComponentDisplay* strip, int panelComponent,
                             gui::DragManager* dragManager, ComponentPresetHandler::MessageFunction showMessage)
    : StripSection(ui, editor, plugin, styles, kLeft, kWidth) {
    for (int r = 0; r < 3; ++r) routing_[std::size_t(r)] = addImage(325, 94, kRoutingImages[r]);
    for (int f = 0; f < 2; ++f) {
        auto* button = new FilterButton(ui, editor, plugin, styles, strip, panelComponent, f, dragManager);
        button->parent = this;
        buttons_[std::size_t(f)] = button;
    }
    buttons_[0]->linkWith(buttons_[1]);
    addSelect(398, 40, StyleTable::DarkMenu, 80, plugin.filterRouting.index());

    presets_ = addPresetButton(480, 40, LorimanePlugin::FiltersKind, std::move(showMessage));
    parameterChanged(-1);
}

void FilterSection::parameterChanged(int index) {
    const int routingIndex = plugin().filterRouting.index();
    if (index == -1 || index == routingIndex) {
        const int routing = int(std::lround(value(routingIndex)));
        for (int r = 0; r < 3; ++r) routing_[std::size_t(r)]->visible = r == routing;
        const ButtonPlaces& places = routing == 0 ? kSerial : kStacked;
        buttons_[0]->setPosition(places.first);
        buttons_[1]->setPosition(places.second);
    }
    for (FilterButton* b : buttons_) b->showParameter(index);
}
