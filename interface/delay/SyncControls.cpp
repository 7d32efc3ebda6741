#include "interface/delay/SyncControls.h"

#include <cmath>
#include <numbers>

#include "engine/LorimanePlugin.h"
#include "framework/AbstractPluginParameter.h"
#include "gui/Knob.h"
#include "interface/ParameterEditor.h"
#include "interface/delay/HotspotButton.h"
#include "interface/delay/StripSection.h"
#include "interface/delay/StyleTable.h"
#include "interface/sources/FloatValueLabel.h"

namespace {

constexpr int kArcMargin = 30;
constexpr int kArcPanelRight = 57;
constexpr int kArcPanelUp = 14;
constexpr int kHotspotGap = 3;
constexpr int kLabelWidth = 46;
constexpr int kLabelHeight = 11;
constexpr int kLabelX = 5;

}  // namespace

SyncControls::SyncControls(StripSection& section, int delay, int knobX, int knobY, int labelY) {
    gui::UserInterface* ui = section.userInterface();
    const DelayParameterSet& set = section.plugin().delays.set(delay);
    time_ = section.addKnob(knobX, knobY, StyleTable::LargeKnob, set.time.index());
    offset_ = section.addKnob(knobX, knobY, StyleTable::LargeKnob, set.offset.index());

    // The arc is concentric with the time knob; only its right-hand part shows through the panel.
    arcPanel_ = new gui::Control(ui);
    const gui::Point panelAt = section.local(knobX + kArcPanelRight, knobY - kArcPanelUp);
    arcPanel_->setBounds(panelAt.x, panelAt.y, kArcPanelWidth, kArcPanelHeight);
    arcPanel_->parent = &section;
    arc_ = new gui::Knob(ui, section.styles().knob(StyleTable::SyncArc));
    arc_->sweep = kArcSweep;
    arc_->rotationOffset = kArcRotation;
    arc_->setPosition({-kArcMargin - kArcPanelRight, -kArcMargin + kArcPanelUp});
    arc_->parent = arcPanel_;
    section.bind(set.sync.index(), arc_);

    label_ = new FloatValueLabel(ui, section.editor());
    const gui::Point labelAt = section.local(knobX + kLabelX, labelY);
    label_->setBounds(labelAt.x, labelAt.y, kLabelWidth, kLabelHeight);
    label_->text().colour = gui::Rgba{60, 60, 60, 255};
    label_->text().size = 7;
    // A light plate behind the dark digits, so that they read on the strip's dark ground.
    label_->backgroundColour = gui::Rgba{196, 202, 208, 255};
    label_->bind(set.time.index());
    label_->parent = &section;

    // Each hot spot sits just outside the offset knob, at the knob's angle for its factor.
    const AbstractPluginParameter& offset = set.offset;
    const float radius = float(offset_->width()) / 2.0f + kHotspotGap;
    const gui::Point centre = section.local(knobX + offset_->width() / 2, knobY + offset_->height() / 2);
    for (std::size_t i = 0; i < kFactors.size(); ++i) {
        auto* spot = new HotspotButton(ui, section.editor(), set.offset.index(), kFactors[i],
                                       section.styles().button(StyleTable::Hotspot));
        const float r = radius + float(spot->width()) / 2.0f;
        const double normal = offset.plainToNormalized(std::log2(kFactors[i]));
        const double turns = offset_->angleOfValue(offset_->fromNormalized(normal));
        const double a = 2.0 * std::numbers::pi * turns;
        const int cx = centre.x + int(std::lround(r * std::sin(a)));
        const int cy = centre.y - int(std::lround(r * std::cos(a)));
        spot->setPosition({cx - spot->width() / 2, cy - spot->height() / 2});
        spot->parent = &section;
        hotspots_[i] = spot;
    }
}

void SyncControls::showSync(bool synchronised) {
    time_->visible = !synchronised;
    offset_->visible = synchronised;
    for (HotspotButton* spot : hotspots_) spot->visible = synchronised;
    // A synchronised time is the tempo's: the label shows "-" and takes no edits.
    label_->interactive = !synchronised;
}

void SyncControls::refreshLabel() { label_->refreshText(); }
