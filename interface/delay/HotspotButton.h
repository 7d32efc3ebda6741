#pragma once

#include "gui/Button.h"

class ParameterEditor;

// A small button beside a delay's offset knob that sets the offset to one musical factor of the
// synchronised time (its base-2 logarithm, the offset's plain value) in one undoable edit. [ui]
class HotspotButton : public gui::Button {
public:
    HotspotButton(gui::UserInterface* ui, ParameterEditor& editor, int offsetParameter, float factor,
                  const gui::Button::Style* style);

    float factor() const { return factor_; }
    // The offset's plain value this button sets.
    float offset() const;

private:
    void clicked(void*);

    ParameterEditor& editor_;
    int offsetParameter_;
    float factor_;
};
