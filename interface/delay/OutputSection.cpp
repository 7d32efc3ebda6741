#include "interface/delay/OutputSection.h"

#include "engine/LorimanePlugin.h"
#include "gui/Knob.h"
#include "interface/delay/BackgroundDimmer.h"
#include "interface/delay/DrySwitch.h"
#include "interface/delay/StyleTable.h"

OutputSection::OutputSection(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin,
                             const StyleTable& styles)
    : StripSection(ui, editor, plugin, styles, kLeft, kWidth) {
    addKnob(567, 68, StyleTable::OuterRing, plugin.dryPan.index());
    dryLevel_ = addKnob(575, 76, StyleTable::InnerKnob, plugin.dryLevel.index());
    addKnob(567, 201, StyleTable::OuterRing, plugin.wetPan.index());
    wetLevel_ = addKnob(575, 209, StyleTable::InnerKnob, plugin.wetLevel.index());
    dryLevel_->joinGroup(wetLevel_);

    // Two halves that read as one switch, both bound to the dry signal's switch.
    const gui::Button::Style* style = styles.button(StyleTable::Dry);
    const int halves[2][2] = {{576, 22}, {598, 23}};
    for (int h = 0; h < 2; ++h) {
        auto* half = new DrySwitch(ui, style, halves[h][0] - halves[0][0], halves[h][1]);
        half->setPosition(local(halves[h][0], 40));
        half->parent = this;
        bind(plugin.dryEnabled.index(), half);
        dry_[std::size_t(h)] = half;
    }

    dryDimmer_ = new BackgroundDimmer(ui, *this);
    const gui::Point dimAt = local(562, 66);
    dryDimmer_->setBounds(dimAt.x, dimAt.y, 74, 86);
    dryDimmer_->opacity = kDryDimmerAlpha;
    dryDimmer_->parent = this;
    parameterChanged(-1);
}

void OutputSection::parameterChanged(int index) {
    const int dry = plugin().dryEnabled.index();
    if (index == -1 || index == dry) dryDimmer_->visible = value(dry) == 0.0f;
}
