#pragma once

#include <array>

#include "gui/Button.h"
#include "interface/sources/LorimaneSourceInterface.h"

class ParameterWatcher;
class XYControllerButton;

// The panel of one XY controller: the pad whose two axes are the controller's two sources. [ui]
class XYSourceInterface : public LorimaneSourceInterface {
public:
    static constexpr int kWidth = 132;
    static constexpr int kHeight = 140;
    static constexpr const char* kPadHint =
        "The XY controller lets you modulate two targets at once: drag the marker, the horizontal position is the X "
        "source and the vertical position the Y source. Ctrl-click resets both axes.";

    XYSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout);
    ~XYSourceInterface() override;

    XYControllerButton& pad() const { return *pad_; }

protected:
    void bindSet(int set) override;

private:
    gui::Button::Style* style_;
    XYControllerButton* pad_;
    std::array<ParameterWatcher*, 2> watchers_{};
};
