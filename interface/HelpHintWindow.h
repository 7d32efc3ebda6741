#pragma once

#include <memory>
#include <string>

#include "gui/Control.h"
#include "gui/Rgba.h"
#include "gui/Text.h"

// The help hint window: one wrapped text over a background picture, hidden while its text is
// empty. Hints and the editor's messages both show here. [ui]
class HelpHintWindow : public gui::Control {
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 64;
    static constexpr int kMargin = 14;

    explicit HelpHintWindow(gui::UserInterface* ui);

    // Not owned; none fills the window with the fallback colour.
    void setBackground(const gui::Bitmap* background) { background_ = background; }
    gui::Text& label() { return text_; }
    void setText(const std::string& text);
    const std::string& text() const { return shown_; }

    void paint(gui::Canvas& canvas) override;
    int hitAlpha(gui::Point point) const override;

private:
    const gui::Bitmap* background_ = nullptr;
    gui::Text text_;
    std::string shown_;
};
