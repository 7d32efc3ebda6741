#include "interface/delay/HotspotButton.h"

#include <cmath>
#include <cstdio>

#include "framework/AbstractPluginParameter.h"
#include "interface/ParameterEditor.h"

HotspotButton::HotspotButton(gui::UserInterface* ui, ParameterEditor& editor, int offsetParameter, float factor,
                             const gui::Button::Style* style)
    : gui::Button(ui, style), editor_(editor), offsetParameter_(offsetParameter), factor_(factor) {
    char text[96];
    std::snprintf(text, sizeof text, "This hot spot sets the delay offset to %.3g times the synchronised time.",
                  double(factor));
    hint = text;
    clickEvent.addHandler(this, &HotspotButton::clicked);
}

float HotspotButton::offset() const { return std::log2(factor_); }

void HotspotButton::clicked(void*) {
    AbstractPluginParameter* p = editor_.parameter(offsetParameter_);
    if (!p || editor_.midiLearnActive()) return;
    editor_.beginEdit(offsetParameter_);
    editor_.setNormalized(offsetParameter_, p->plainToNormalized(offset()));
    editor_.endEdit(offsetParameter_);
    editor_.refreshControls();
}
