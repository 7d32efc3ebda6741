#pragma once

#include <string>

#include "interface/modulation/ModulationMatrixPluginInterface.h"

class LorimaneSettings;

namespace gui {
class Image;
class Label;
class SelectButton;
class ToggleButton;
}  // namespace gui

// The delay's editor: the frame in the product's styles, the top bar and the bottom bar placed for
// the Normal and Wide layouts, the strip's background (its sections come later), and the layout
// settings "InterfaceLayout" and "ShowModulation" with the resizing they cause. [ui]
class LorimaneInterface : public ModulationMatrixPluginInterface {
public:
    static constexpr int kNormalWidth = 640;
    static constexpr int kWideWidth = 926;
    static constexpr int kStripTop = 34;
    static constexpr int kBottomBarHeight = 24;
    static constexpr int kModulationButtonY = 279;

    LorimaneInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host);

    void layoutEditor() override;
    void refreshParameter(int index) override;

    // The bottom-bar controls (for tools and tests).
    gui::SelectButton* resizeButton() const { return resize_; }
    gui::ToggleButton* modulationButton() const { return modulation_; }

protected:
    void unboundControlEdited(gui::ValueControl* control) override;

private:
    gui::Button::Style& barStyle();
    gui::Button::Style& iconStyle();
    gui::Button* topButton(const std::string& text, const std::string& icon);
    int parameterIndex(const std::string& name) const;
    void layoutChanged(void* sender);
    void bindSelect(gui::SelectButton* button, const std::string& parameterName, const char* help);
    bool wide() const;

    LorimaneSettings* settings_ = nullptr;
    gui::Button::Style* barStyle_ = nullptr;
    gui::Button::Style* iconStyle_ = nullptr;
    TopBar top_;
    gui::Image* strip_ = nullptr;
    gui::Image* bottomBar_ = nullptr;
    gui::Image* logo_ = nullptr;
    gui::Light* light_ = nullptr;
    gui::Label* channelModeLabel_ = nullptr;
    gui::SelectButton* channelMode_ = nullptr;
    gui::ToggleButton* autoMute_ = nullptr;
    gui::SelectButton* audition_ = nullptr;
    gui::SelectButton* resize_ = nullptr;
    gui::ToggleButton* modulation_ = nullptr;
    int channelModeIndex_ = -1;
    int autoMuteIndex_ = -1;
};
