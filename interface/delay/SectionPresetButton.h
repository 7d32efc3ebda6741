#pragma once

#include <memory>
#include <vector>

#include "gui/Button.h"
#include "persistence/ComponentPresetHandler.h"

namespace gui {
class Menu;
class MenuItem;
}  // namespace gui

// The preset button of a strip section: a menu of the section's presets (loading one is an undo
// step) and "Save As...", which saves the section's settings as a new preset. [ui]
class SectionPresetButton : public gui::Button {
public:
    SectionPresetButton(gui::UserInterface* ui, std::unique_ptr<ComponentPresetHandler> handler,
                        const gui::Button::Style* style);
    ~SectionPresetButton() override;

    ComponentPresetHandler& handler() const { return *handler_; }

private:
    void menuOpening(void*);
    void itemChosen(void* sender);
    void addItems(gui::Menu& menu, const std::vector<PresetMenuItem>& items);
    void saveAs();

    std::unique_ptr<ComponentPresetHandler> handler_;
    std::unique_ptr<gui::PopupMenu> menu_;
    // The entries behind the menu's items, by item.
    std::vector<std::pair<gui::MenuItem*, PresetMenuItem>> entries_;
};
