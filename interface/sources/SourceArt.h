#pragma once

#include <string_view>

#include "gui/Button.h"
#include "gui/Knob.h"
#include "gui/Rgba.h"

namespace gui {
class Bitmap;
class UserInterface;
}

// The pictures and control styles of the source panels. The embedded images are read once per
// process and shared; the styles belong to one user interface. [ui]
class SourceArt {
public:
    // The panels' colours.
    static constexpr gui::Rgba kPanel{52, 57, 64, 255};
    static constexpr gui::Rgba kPanelDark{40, 44, 50, 255};
    static constexpr gui::Rgba kDeep{30, 33, 38, 255};
    static constexpr gui::Rgba kLine{88, 95, 104, 255};
    static constexpr gui::Rgba kInk{226, 229, 233, 255};
    static constexpr gui::Rgba kInkDim{150, 156, 164, 255};
    static constexpr gui::Rgba kAccent{242, 164, 52, 255};
    static constexpr gui::Rgba kTeal{72, 192, 204, 255};
    static constexpr gui::Rgba kTealDim{44, 112, 120, 255};

    explicit SourceArt(gui::UserInterface* ui);
    ~SourceArt();
    SourceArt(const SourceArt&) = delete;
    SourceArt& operator=(const SourceArt&) = delete;

    // An embedded image by name ("XLFOLabels.png" or "XLFOLabels"); none when it is missing.
    static const gui::Bitmap* image(std::string_view name);

    gui::Knob::Style* knob = nullptr;
    gui::Knob::Style* ring = nullptr;
    gui::Button::Style* button = nullptr;
    gui::Button::Style* addStep = nullptr;
    gui::Button::Style* hide = nullptr;
    gui::Button::Style* hotSpot = nullptr;

private:
    gui::UserInterface* ui_;
};
