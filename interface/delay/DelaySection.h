#pragma once

#include <array>
#include <memory>

#include "gui/Image.h"
#include "gui/Knob.h"
#include "interface/delay/StripSection.h"
#include "persistence/ComponentPresetHandler.h"

class BackgroundDimmer;
class SectionPresetButton;
class SyncControls;

// The strip's delay section: the input level, and per delay line its time controls, feedback,
// cross-feedback, feedback inversion and pan; the link, read-style and freeze switches; and the
// dimmers that show which controls a link or the freeze takes over. [ui]
class DelaySection : public StripSection {
public:
    static constexpr int kLeft = 0;
    static constexpr int kWidth = 325;
    static constexpr int kDelayDimmerAlpha = 170;

    DelaySection(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin, const StyleTable& styles,
                 ComponentPresetHandler::MessageFunction showMessage);
    ~DelaySection() override;

    void parameterChanged(int index) override;

    SyncControls& sync(int delay) const { return *sync_[std::size_t(delay)]; }
    gui::Knob* feedbackKnob(int delay) const { return feedback_[std::size_t(delay)]; }
    gui::Knob* crossFeedbackKnob(int delay) const { return crossFeedback_[std::size_t(delay)]; }
    gui::Knob* panKnob(int delay) const { return pan_[std::size_t(delay)]; }
    gui::Control* feedbackDimmer() const { return feedbackDimmer_; }
    gui::Control* delayDimmer() const { return delayDimmer_; }
    gui::Control* freezeDimmer() const { return freezeDimmer_; }
    SectionPresetButton* presetButton() const { return presets_; }

private:
    std::array<std::unique_ptr<SyncControls>, 2> sync_;
    std::array<gui::Knob*, 2> feedback_{};
    std::array<gui::Knob*, 2> crossFeedback_{};
    std::array<gui::Knob*, 2> pan_{};
    gui::Control* feedbackDimmer_ = nullptr;
    gui::Image* delayDimmer_ = nullptr;
    gui::Image* freezeDimmer_ = nullptr;
    SectionPresetButton* presets_ = nullptr;
};
