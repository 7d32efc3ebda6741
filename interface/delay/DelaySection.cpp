#include "interface/delay/DelaySection.h"

#include "engine/LorimanePlugin.h"
#include "gui/Image.h"
#include "gui/Knob.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "interface/delay/BackgroundDimmer.h"
#include "interface/delay/StyleTable.h"
#include "interface/delay/SyncControls.h"
#include "interface/sources/SourceArt.h"

namespace {

// Per delay line (delay 1, delay 2), editor coordinates.
struct DelayPlaces {
    int knobY, labelY, feedbackY, crossY, invertY, panY;
};
constexpr DelayPlaces kPlaces[2] = {{68, 44, 45, 109, 40, 76}, {201, 266, 242, 178, 275, 208}};

}  // namespace

DelaySection::DelaySection(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin,
                           const StyleTable& styles, ComponentPresetHandler::MessageFunction showMessage)
    : StripSection(ui, editor, plugin, styles, kLeft, kWidth) {
    addImage(0, 80, "InputBackground");
    addKnob(5, 140, StyleTable::NormalKnob, plugin.inputLevel.index());

    for (int d = 0; d < 2; ++d) {
        const DelayPlaces& at = kPlaces[d];
        const DelayParameterSet& set = plugin.delays.set(d);
        sync_[std::size_t(d)] = std::make_unique<SyncControls>(*this, d, 164, at.knobY, at.labelY);
        feedback_[std::size_t(d)] = addKnob(82, at.feedbackY, StyleTable::NormalKnob, set.feedback.index());
        crossFeedback_[std::size_t(d)] = addKnob(82, at.crossY, StyleTable::NormalKnob, set.crossFeedback.index());
        addToggle(139, at.invertY, StyleTable::Invert, set.feedbackInvert.index());
        pan_[std::size_t(d)] = addKnob(272, at.panY, StyleTable::NormalKnob, set.pan.index());
    }

    addToggle(97, 158, StyleTable::Lock, plugin.feedbackLink.index());
    addToggle(187, 158, StyleTable::Lock, plugin.delayLink.index());
    addSelect(216, 158, StyleTable::DarkMenu, 70, plugin.delayReadStyle.index());
    gui::ToggleButton* freeze = addToggle(297, 158, StyleTable::Lock, plugin.delayFreeze.index());
    freeze->iconOverride[0] = SourceArt::image("IconFreezeOff");
    freeze->iconOverride[1] = SourceArt::image("IconFreezeOn");

    presets_ = addPresetButton(306, 40, LorimanePlugin::DelaysKind, std::move(showMessage));

    // Linked pairs: the same movement on both lines; the pans mirrored.
    sync_[0]->timeKnob()->joinGroup(sync_[1]->timeKnob());
    sync_[0]->offsetKnob()->joinGroup(sync_[1]->offsetKnob());
    feedback_[0]->joinGroup(feedback_[1]);
    crossFeedback_[0]->joinGroup(crossFeedback_[1]);
    pan_[0]->joinGroup(pan_[1]);
    pan_[0]->setGroupInverted(true);

    // The dimmers lie over what they dim, in this order.
    feedbackDimmer_ = new BackgroundDimmer(ui, *this);
    const gui::Point dimAt = local(82, 178);
    feedbackDimmer_->setBounds(dimAt.x, dimAt.y, 47, 112);
    feedbackDimmer_->opacity = kDelayDimmerAlpha;
    feedbackDimmer_->parent = this;
    delayDimmer_ = addImage(164, 181, "DelayDimmer");
    delayDimmer_->opacity = kDelayDimmerAlpha;
    freezeDimmer_ = addImage(0, 34, "FreezeDimmer");
    parameterChanged(-1);
}

DelaySection::~DelaySection() = default;

void DelaySection::parameterChanged(int index) {
    LorimanePlugin& p = plugin();
    auto is = [index](const AbstractPluginParameter& parameter) { return index == -1 || index == parameter.index(); };
    if (is(p.feedbackLink) || is(p.delayFreeze)) {
        const bool frozen = value(p.delayFreeze.index()) != 0.0f;
        feedbackDimmer_->visible = value(p.feedbackLink.index()) == 1.0f && !frozen;
        freezeDimmer_->visible = frozen;
    }
    if (is(p.delayLink)) delayDimmer_->visible = value(p.delayLink.index()) == 1.0f;
    for (int d = 0; d < 2; ++d) {
        const DelayParameterSet& set = p.delays.set(d);
        if (is(set.sync)) sync_[std::size_t(d)]->showSync(value(set.sync.index()) != 0.0f);
        if (is(set.time)) sync_[std::size_t(d)]->refreshLabel();
    }
}
