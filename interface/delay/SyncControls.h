#pragma once

#include <array>

class FloatValueLabel;
class HotspotButton;
class StripSection;

namespace gui {
class Control;
class Knob;
}  // namespace gui

// The time controls of one delay line: the time knob while the delay runs free; the offset knob
// with its seven hot spots while it follows the tempo; the sync arc, a large knob shown only
// through a narrow panel on the right of the time knob so that it reads as a curved slider; and the
// time label, which reads "-" while synchronised. [ui]
class SyncControls {
public:
    // The offset factors of the hot spots.
    static constexpr std::array<float, 7> kFactors{0.5f, 2.0f / 3.0f, 0.75f, 1.0f, 4.0f / 3.0f, 1.5f, 2.0f};
    static constexpr int kArcPanelWidth = 44;
    static constexpr int kArcPanelHeight = 92;
    static constexpr int kArcSweep = 70;
    static constexpr int kArcRotation = 90;

    // knobX, knobY: the time knob's place; labelY: the time label's (editor coordinates).
    SyncControls(StripSection& section, int delay, int knobX, int knobY, int labelY);

    // Shows the controls of the sync value.
    void showSync(bool synchronised);
    void refreshLabel();

    gui::Knob* timeKnob() const { return time_; }
    gui::Knob* offsetKnob() const { return offset_; }
    gui::Knob* arc() const { return arc_; }
    gui::Control* arcPanel() const { return arcPanel_; }
    FloatValueLabel* label() const { return label_; }
    HotspotButton* hotspot(int i) const { return hotspots_[std::size_t(i)]; }

private:
    gui::Knob* time_ = nullptr;
    gui::Knob* offset_ = nullptr;
    gui::Knob* arc_ = nullptr;
    gui::Control* arcPanel_ = nullptr;
    FloatValueLabel* label_ = nullptr;
    std::array<HotspotButton*, 7> hotspots_{};
};
