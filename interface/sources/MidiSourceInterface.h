#pragma once

#include "interface/sources/LorimaneSourceInterface.h"

class ParameterWatcher;

namespace gui {
class IntValueButton;
}

// The panel of one MIDI source: its input, the controller number (for controller input) and the
// response curve. It is named after what it listens to. [ui]
class MidiSourceInterface : public LorimaneSourceInterface {
public:
    static constexpr int kWidth = 132;
    static constexpr int kHeight = 140;
    // The input value that listens to a controller.
    static constexpr int kControllerInput = 5;

    MidiSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout);

    void refresh() override;
    gui::IntValueButton& controllerButton() { return *controller_; }

protected:
    void bindSet(int set) override;

private:
    gui::SelectButton* input_ = nullptr;
    gui::IntValueButton* controller_ = nullptr;
    gui::SelectButton* curve_ = nullptr;
    ParameterWatcher* watcher_ = nullptr;
    ParameterWatcher* numberWatcher_ = nullptr;
    SourceLayout::Midi midi_;
};
