#include "interface/modulation/LorimaneSourceFactory.h"

#include "engine/LorimanePlugin.h"
#include "gui/RootControl.h"
#include "interface/modulation/ModulationIndicator.h"
#include "interface/modulation/ModulationIndicatorManager.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"
#include "interface/modulation/SlotInterface.h"
#include "interface/modulation/SourceSlotController.h"
#include "interface/modulation/XYSourceInterface.h"
#include "interface/sources/EFSourceInterface.h"
#include "interface/sources/EGController.h"
#include "interface/sources/EGSourceInterface.h"
#include "interface/sources/MidiSourceInterface.h"
#include "interface/sources/XLFOSourceInterface.h"

LorimaneSourceFactory::LorimaneSourceFactory(ModulationMatrixPluginInterface& editor, LorimanePlugin& plugin)
    : editor_(editor), plugin_(plugin), art_(&editor.userInterface()), layout_(plugin) {}

SourceController* LorimaneSourceFactory::buildSection(ModulationMatrixPluginInterface& editor) {
    auto* plugin = dynamic_cast<LorimanePlugin*>(&editor.plugin());
    gui::RootControl* root = editor.userInterface().getRootControl();
    if (!plugin || !root) return nullptr;
    auto factory = std::make_unique<LorimaneSourceFactory>(editor, *plugin);
    auto* section = new SourceController(&editor.userInterface(), editor, *factory, factory->art_);
    factory->section_ = section;
    section->visible = false;
    section->parent = root;

    section->addSourceKind(&plugin->xyControllers, "XY Controller", -1, 2);
    section->addSourceKind(&plugin->xlfos, "XLFO", LorimanePlugin::XLFOKind, 1);
    section->addSourceKind(&plugin->egs, "Envelope Generator", LorimanePlugin::EGKind, 1);
    section->addSourceKind(&plugin->efs, "Envelope Follower", LorimanePlugin::EFKind, 1);
    section->addSourceKind(&plugin->midiSources, "MIDI Source", LorimanePlugin::MidiKind, 1);

    // Targets of sources: choosable only while their source is in use.
    const SourceLayout& layout = factory->layout_;
    for (int n = 0; n < layout.setCount(SourceLayout::XLFOKind); ++n)
        for (int t : {layout.xlfo(n).frequencyTarget, layout.xlfo(n).glideTarget, layout.xlfo(n).phaseOffsetTarget})
            editor.setTargetOwner(t, &plugin->xlfos, n);
    for (int n = 0; n < layout.setCount(SourceLayout::EGKind); ++n)
        for (int t : layout.eg(n).stageTarget) editor.setTargetOwner(t, &plugin->egs, n);
    for (int n = 0; n < layout.setCount(SourceLayout::EFKind); ++n)
        for (int t : {layout.ef(n).attackTarget, layout.ef(n).releaseTarget}) editor.setTargetOwner(t, &plugin->efs, n);

    section->adoptFactory(std::move(factory));
    return section;
}

gui::Button* LorimaneSourceFactory::createSourceButton(int kind) {
    if (kind != SourceController::AddSourceButton && kind != SourceController::AddSlotButton) return nullptr;
    auto* b = new gui::Button(&editor_.userInterface(), art_.add);
    b->iconOverride[0] = b->iconOverride[1] = ModulationArt::image("IconAdd");
    b->iconAlignment = gui::Button::Left;
    b->iconMargin = 4;
    b->textOffsetX = 7;
    b->text().size = 7;
    b->setText(kind == SourceController::AddSourceButton ? "Add Source" : "Add Slot");
    b->setSize(kind == SourceController::AddSourceButton ? 84 : 64, 18);
    return b;
}

LorimaneSourceInterface* LorimaneSourceFactory::createSourceInterface(int kind, int) {
    gui::UserInterface* ui = &editor_.userInterface();
    switch (kind) {
        case SourceLayout::XYKind: return new XYSourceInterface(ui, editor_, layout_);
        case SourceLayout::XLFOKind: return new XLFOSourceInterface(ui, editor_, layout_);
        case SourceLayout::EGKind: return new EGSourceInterface(ui, editor_, layout_);
        case SourceLayout::EFKind: return new EFSourceInterface(ui, editor_, layout_);
        case SourceLayout::MidiKind: return new MidiSourceInterface(ui, editor_, layout_);
        default: return nullptr;
    }
}

SlotInterface* LorimaneSourceFactory::createSlotInterface() {
    if (!section_) return nullptr;
    return new SlotInterface(&editor_.userInterface(), section_->slots(), &art_);
}

void LorimaneSourceFactory::showSet(LorimaneSourceInterface& panel, int set) {
    auto* eg = dynamic_cast<EGSourceInterface*>(&panel);
    if (!eg || !section_ || set < 0 || set >= layout_.setCount(SourceLayout::EGKind)) {
        panel.setIndex(set);
        return;
    }
    ModulationIndicatorManager& indicators = section_->indicators();
    indicators.suppress(true);
    panel.setIndex(set);
    indicators.suppress(false);
    const SourceLayout::EG& targets = layout_.eg(set);
    const int first = targets.firstTarget, count = targets.lastTarget - targets.firstTarget + 1;
    if (ModulationIndicator* shown = indicators.indicatorOn(&eg->envelope()))
        indicators.retarget(shown, first, count);
    else
        indicators.addIndicator(&eg->envelope(), first, count);
}

bool LorimaneSourceFactory::applyDefaultPreset(int presetKind, int set) {
    return plugin_.presets().loadDefaultComponentPreset(presetKind, set);
}
