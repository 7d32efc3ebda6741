#pragma once

#include <array>
#include <memory>

#include "gui/Button.h"
#include "gui/Knob.h"

namespace gui {
class UserInterface;
}

// The editor's control styles, numbered as every view of the editor refers to them: 27 button
// styles and 5 knob styles built from the embedded pictures. Styles whose pictures are missing
// keep what they have; a button style without any background draws only its icon. [ui]
class StyleTable {
public:
    static constexpr int kButtonStyles = 27;
    static constexpr int kKnobStyles = 5;
    enum ButtonStyle {
        Generic = 0, Menu = 1, UpDown = 2, DarkMenu = 3, Save = 4, Invert = 5, Lock = 6, Enable = 7, Bar = 8,
        Add = 9, AddIcon = 10, AddStep = 11, Hide = 12, Hotspot = 13, XY = 14, SaveWide = 15, ScrollLeft = 16,
        ScrollRight = 17, SourceDrag = 18, Component = 19, ComponentEnabled = 20, SlotLevel = 21,
        CloseSmall = 22, PlusMinus = 23, SlotDrop = 24, SlotBypass = 25, Dry = 26
    };
    enum KnobStyle { NormalKnob = 0, OuterRing = 1, InnerKnob = 2, LargeKnob = 3, SyncArc = 4 };

    explicit StyleTable(gui::UserInterface* ui);
    ~StyleTable();
    StyleTable(const StyleTable&) = delete;
    StyleTable& operator=(const StyleTable&) = delete;

    const gui::Button::Style* button(int style) const { return buttons_.at(std::size_t(style)).get(); }
    const gui::Knob::Style* knob(int style) const { return knobs_.at(std::size_t(style)).get(); }

private:
    gui::UserInterface* ui_;
    std::array<std::unique_ptr<gui::Button::Style>, kButtonStyles> buttons_;
    std::array<std::unique_ptr<gui::Knob::Style>, kKnobStyles> knobs_;
};
