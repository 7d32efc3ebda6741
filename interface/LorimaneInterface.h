#pragma once

#include <memory>
#include <string>
#include <vector>

#include "interface/modulation/ModulationMatrixPluginInterface.h"

class AuditionButton;
class DelaySection;
class FilterInterface;
class FilterSection;
class LorimanePlugin;
class LorimaneSettings;
class ModulationComponentDisplay;
class OutputSection;
class StripSection;
class StyleTable;

namespace gui {
class Image;
class Label;
class SelectButton;
class ToggleButton;
}  // namespace gui

// The delay's editor: the frame in the product's styles, the top bar and the bottom bar placed for
// the Normal and Wide layouts, the main strip with its delay, filter and output sections (the
// filter section opens the filter panel), and the layout settings "ExpandedSection",
// "InterfaceLayout" and "ShowModulation" with the resizing they cause. [ui]
class LorimaneInterface : public ModulationMatrixPluginInterface {
public:
    static constexpr int kNormalWidth = 640;
    static constexpr int kWideWidth = 926;
    static constexpr int kStripTop = 34;
    static constexpr int kBottomBarHeight = 24;
    static constexpr int kModulationButtonY = 279;

    // The strip's components, left to right: the three sections and, after the filter section, the
    // filter panel, the only one that opens and closes.
    enum StripComponent { DelaysComponent = 0, FiltersComponent = 1, FilterPanelComponent = 2, OutputComponent = 3 };
    // "ExpandedSection" while the filter panel is open.
    static constexpr int kFiltersExpanded = 1;

    LorimaneInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host);
    ~LorimaneInterface() override;

    void layoutEditor() override;
    void refreshParameter(int index) override;

    // The bottom-bar controls (for tools and tests).
    gui::SelectButton* resizeButton() const { return resize_; }
    gui::ToggleButton* modulationButton() const { return modulation_; }
    AuditionButton* auditionButton() const { return audition_; }
    // The strip and its parts.
    ModulationComponentDisplay* strip() const { return strip_; }
    DelaySection* delaySection() const { return delays_; }
    FilterSection* filterSection() const { return filters_; }
    FilterInterface* filterPanel() const { return filterPanel_; }
    OutputSection* outputSection() const { return output_; }
    const StyleTable& styles() const { return *styles_; }

protected:
    void unboundControlEdited(gui::ValueControl* control) override;
    MidiLearnController* createMidiLearnOverlay() override;

private:
    class StripListener;
    void buildStrip(LorimanePlugin& plugin);
    void expansionChanged();
    // The strip's sections and the filter panel, those that exist.
    std::vector<StripSection*> sections() const;
    gui::Button::Style& barStyle();
    gui::Button::Style& iconStyle();
    gui::Button* topButton(const std::string& text, const std::string& icon);
    int parameterIndex(const std::string& name) const;
    void layoutChanged(void* sender);
    void bindSelect(gui::SelectButton* button, const std::string& parameterName, const char* help);
    bool wide() const;

    LorimaneSettings* settings_ = nullptr;
    std::unique_ptr<StyleTable> styles_;
    std::unique_ptr<StripListener> stripListener_;
    ModulationComponentDisplay* strip_ = nullptr;
    DelaySection* delays_ = nullptr;
    FilterSection* filters_ = nullptr;
    FilterInterface* filterPanel_ = nullptr;
    OutputSection* output_ = nullptr;
    float sampleRate_ = 0.0f;
    gui::Button::Style* barStyle_ = nullptr;
    gui::Button::Style* iconStyle_ = nullptr;
    TopBar top_;
    gui::Image* bottomBar_ = nullptr;
    gui::Image* logo_ = nullptr;
    gui::Light* light_ = nullptr;
    gui::Label* channelModeLabel_ = nullptr;
    gui::SelectButton* channelMode_ = nullptr;
    gui::ToggleButton* autoMute_ = nullptr;
    AuditionButton* audition_ = nullptr;
    gui::SelectButton* resize_ = nullptr;
    gui::ToggleButton* modulation_ = nullptr;
    int channelModeIndex_ = -1;
    int autoMuteIndex_ = -1;
    int auditionIndex_ = -1;
};
