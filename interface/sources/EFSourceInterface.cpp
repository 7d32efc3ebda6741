#include "interface/sources/EFSourceInterface.h"

#include "gui/Image.h"
#include "gui/Knob.h"
#include "gui/ToggleButton.h"

EFSourceInterface::EFSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout)
    : LorimaneSourceInterface(ui, editor, layout, SourceLayout::EFKind) {
    const std::string hint =
        "The Input setting determines the input audio source which is used to generate the envelope.";
    inputs_[0] = addToggle(38, kTitleHeight + 10, "IconInputOn", "IconInputOff", hint);
    inputs_[1] = addToggle(66, kTitleHeight + 10, "IconSideChainOn", "IconSideChainOff", hint);
    inputs_[0]->maximum = 1;
    for (int i = 0; i < 2; ++i) {
        inputs_[std::size_t(i)]->doubleClickEnabled = false;
        inputs_[std::size_t(i)]->joinRadioGroup(inputs_[0], i);
    }
    attack_ = addKnob(8, 58);
    release_ = addKnob(66, 58);
    for (gui::Knob* k : {attack_, release_}) k->maximum = 1000;
    addImage(4, 102, "EFLabels");
    setSize(kWidth, kHeight);
}

void EFSourceInterface::bindSet(int set) {
    const SourceLayout::EF& ef = layout_.ef(set);
    // Without a side chain there is nothing to choose.
    const bool choice = layout_.sideChainInput();
    for (gui::ToggleButton* b : inputs_) b->visible = choice;
    if (choice) bindParameter(ef.input, inputs_[0]);
    bindParameter(ef.attack, attack_);
    bindParameter(ef.release, release_);
}
