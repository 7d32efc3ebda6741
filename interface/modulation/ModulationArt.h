#pragma once

#include "gui/Button.h"

namespace gui {
class Bitmap;
class UserInterface;
}  // namespace gui

// The styles of the modulation section's buttons, from the embedded images; they belong to one
// user interface and outlive the controls drawing with them. [ui]
class ModulationArt {
public:
    explicit ModulationArt(gui::UserInterface* ui);
    ~ModulationArt();
    ModulationArt(const ModulationArt&) = delete;
    ModulationArt& operator=(const ModulationArt&) = delete;

    // An embedded image by name; none when it is missing.
    static const gui::Bitmap* image(const char* name);

    gui::Button::Style* slotLevel = nullptr;
    gui::Button::Style* slotInner = nullptr;
    gui::Button::Style* slotTarget = nullptr;
    gui::Button::Style* add = nullptr;
    gui::Button::Style* drag = nullptr;
    gui::Button::Style* sourceButton = nullptr;
    gui::Button::Style* indicator = nullptr;
    gui::Button::Style* scrollLeft = nullptr;
    gui::Button::Style* scrollRight = nullptr;
    gui::Button::Style* close = nullptr;

private:
    gui::UserInterface* ui_;
};
