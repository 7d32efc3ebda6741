#pragma once

#include <string>

#include "gui/Control.h"
#include "gui/Text.h"

// The small display beside a hovered or dragged control: the parameter's name over its value text,
// placed next to the control inside the editor. It never takes the pointer. [ui]
class ValueDisplay : public gui::Control {
public:
    static constexpr int kMargin = 6;
    static constexpr int kGap = 4;

    explicit ValueDisplay(gui::UserInterface* ui);

    // Shows the two lines beside the control (below it, or above when the editor ends first).
    void show(const gui::Control& control, const std::string& name, const std::string& value);
    void hide();
    const std::string& valueText() const { return value_; }

    void paint(gui::Canvas& canvas) override;
    int hitAlpha(gui::Point point) const override;

private:
    gui::Text nameText_, valueText_;
    std::string value_;
};
