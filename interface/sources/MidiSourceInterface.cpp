#include "interface/sources/MidiSourceInterface.h"

#include <cmath>

#include "framework/AbstractPluginParameter.h"
#include "gui/IntValueButton.h"
#include "gui/SelectButton.h"
#include "interface/sources/ParameterWatcher.h"
#include "interface/sources/SourceTitles.h"

MidiSourceInterface::MidiSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout)
    : LorimaneSourceInterface(ui, editor, layout, SourceLayout::MidiKind) {
    addCaption(6, kTitleHeight + 6, kWidth - 12, "INPUT");
    input_ = addSelector(8, kTitleHeight + 20, kWidth - 16);
    addCaption(6, kTitleHeight + 44, kWidth - 12, "CONTROLLER");
    controller_ = new gui::IntValueButton(ui, art_->button);
    controller_->setBounds(8, kTitleHeight + 58, 48, art_->button->height);
    controller_->text().size = 7;
    controller_->text().colour = SourceArt::kInk;
    controller_->maximum = 127;
    controller_->parent = this;
    addCaption(6, kTitleHeight + 82, kWidth - 12, "RESPONSE");
    curve_ = addSelector(8, kTitleHeight + 96, kWidth - 16);
    // The input and the controller number name the source.
    for (ParameterWatcher** w : {&watcher_, &numberWatcher_}) {
        *w = new ParameterWatcher(ui, [this] { refresh(); });
        (*w)->parent = this;
    }
    setSize(kWidth, kHeight);
}

void MidiSourceInterface::bindSet(int set) {
    midi_ = layout_.midi(set);
    fillItems(*input_, midi_.input);
    fillItems(*curve_, midi_.responseCurve);
    bindParameter(midi_.input, input_);
    bindParameter(midi_.input, watcher_);
    bindParameter(midi_.controllerNumber, controller_);
    bindParameter(midi_.responseCurve, curve_);
    bindParameter(midi_.controllerNumber, numberWatcher_);
}

void MidiSourceInterface::refresh() {
    AbstractPluginParameter* input = parameter(midi_.input);
    AbstractPluginParameter* number = parameter(midi_.controllerNumber);
    if (!input || !number) return;
    const int chosen = int(std::lround(input->value()));
    const bool controller = chosen == kControllerInput;
    controller_->interactive = controller;
    controller_->opacity = controller ? 255 : 128;
    setDisplayName(sourcetitles::midiDisplayName(input->plainToText(input->value()), controller,
                                                 int(std::lround(number->value())), midi_.shortName));
}
