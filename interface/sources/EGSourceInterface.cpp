#include "interface/sources/EGSourceInterface.h"

#include "framework/AbstractPluginParameter.h"
#include "gui/Knob.h"
#include "gui/ToggleButton.h"
#include "interface/sources/EGController.h"
#include "interface/sources/ParameterWatcher.h"

namespace {
// Triggering values.
constexpr int kMidiTriggering = 2;
}

EGSourceInterface::EGSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout)
    : LorimaneSourceInterface(ui, editor, layout, SourceLayout::EGKind) {
    const char* icons[3][2] = {{"IconInputOn", "IconInputOff"},
                               {"IconSideChainOn", "IconSideChainOff"},
                               {"IconMidiOn", "IconMidiOff"}};
    for (int i = 0; i < 3; ++i) {
        triggers_[std::size_t(i)] =
            addToggle(0, 0, icons[i][0], icons[i][1],
                      "The Trigger setting determines the source that triggers the envelope generator, which can "
                      "be either audio (from the normal or side chain input) or MIDI (note on events).");
        triggers_[std::size_t(i)]->doubleClickEnabled = false;
    }
    // The first button carries the parameter; the others set it through the radio group.
    triggers_[0]->maximum = 2;
    for (int i = 0; i < 3; ++i) triggers_[std::size_t(i)]->joinRadioGroup(triggers_[0], i);
    threshold_ = addKnob(24, 56);
    threshold_->maximum = 1000;
    thresholdLabel_ = addCaption(4, 98, 80, "THRESHOLD");
    thresholdLabel_->setSegmentAlignment(0, gui::MultiLabel::AlignCentred);
    envelope_ = new EGController(ui, editor);
    envelope_->setBounds(92, kTitleHeight + 4, kWidth - 96, kHeight - kTitleHeight - 10);
    envelope_->parent = this;
    watcher_ = new ParameterWatcher(ui, [this] { refresh(); });
    watcher_->parent = this;
    setSize(kWidth, kHeight);
    refresh();
}

void EGSourceInterface::bindSet(int set) {
    eg_ = layout_.eg(set);
    bindParameter(eg_.triggering, triggers_[0], triggers_[0]->hint);
    bindParameter(eg_.triggering, watcher_);
    bindParameter(eg_.threshold, threshold_);
    for (int place = 0; place < EGController::PlaceCount; ++place)
        envelope_->bindSlider(place, eg_.stage[place], eg_.stageTarget[place]);
}

void EGSourceInterface::refresh() {
    AbstractPluginParameter* triggering = parameter(eg_.triggering);
    const bool midi = triggering && int(triggering->value() + 0.5f) == kMidiTriggering;
    threshold_->visible = !midi;
    thresholdLabel_->visible = !midi;
    // MIDI needs no threshold: the buttons stand in a column, else in a row above the knob.
    for (int i = 0; i < 3; ++i)
        triggers_[std::size_t(i)]->setPosition(midi ? gui::Point{8, kTitleHeight + 8 + 26 * i}
                                                    : gui::Point{8 + 26 * i, kTitleHeight + 10});
}
