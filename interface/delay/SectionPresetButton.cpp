#include "interface/delay/SectionPresetButton.h"

#include <filesystem>

#include "gui/MenuItem.h"
#include "gui/OpenSaveDialog.h"
#include "gui/PopupMenu.h"
#include "gui/UserInterface.h"

SectionPresetButton::SectionPresetButton(gui::UserInterface* ui, std::unique_ptr<ComponentPresetHandler> handler,
                                         const gui::Button::Style* style)
    : gui::Button(ui, style), handler_(std::move(handler)) {
    hint = "The Section Presets button opens the presets of this section: choose one to load only this "
           "section's settings, or save the section's settings as a preset of its own.";
    menu_ = ui->createPopupMenu();
    if (menu_) {
        menu_->openingEvent.setOwnerHandler(this, &SectionPresetButton::menuOpening);
        popupMenu = menu_.get();
    }
}

SectionPresetButton::~SectionPresetButton() {
    popupMenu = nullptr;
    if (menu_) menu_->clearItems();
}

void SectionPresetButton::menuOpening(void*) {
    menu_->clearItems();
    entries_.clear();
    addItems(*menu_, handler_->menu());
}

void SectionPresetButton::addItems(gui::Menu& menu, const std::vector<PresetMenuItem>& items) {
    for (const PresetMenuItem& source : items) {
        if (source.kind == PresetMenuItem::Separator) {
            menu.addSeparator();
            continue;
        }
        auto* item = new gui::MenuItem(source.text);
        item->checkMark = source.checked;
        item->enabled = source.enabled;
        menu.addItem(item);
        if (source.kind == PresetMenuItem::Submenu) {
            addItems(*item, source.items);
            continue;
        }
        item->chosenEvent.addHandler(this, &SectionPresetButton::itemChosen);
        entries_.emplace_back(item, source);
    }
}

void SectionPresetButton::itemChosen(void* sender) {
    for (const auto& [item, source] : entries_) {
        if (item != sender) continue;
        if (source.kind == PresetMenuItem::Command) {
            saveAs();
        } else {
            PresetEntry entry;
            entry.path = source.path;
            entry.name = std::filesystem::path(source.path).stem().string();
            handler_->presetSelected(entry);
        }
        return;
    }
}

void SectionPresetButton::saveAs() {
    std::unique_ptr<gui::OpenSaveDialog> dialog = userInterface()->createSaveDialog();
    if (!dialog) return;
    dialog->initialFolder = handler_->folder();
    dialog->filter = handler_->saveFilter();
    dialog->defaultExtension = handler_->defaultExtension();
    if (dialog->run()) handler_->saveAs(dialog->path);
}
