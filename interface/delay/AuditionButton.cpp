#include "interface/delay/AuditionButton.h"

#include "framework/GenericPlugin.h"
#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"

AuditionButton::AuditionButton(gui::UserInterface* ui, GenericPlugin& plugin, const gui::Button::Style* style)
    : gui::SelectButton(ui, style), plugin_(plugin) {}

bool AuditionButton::sideChainAvailable() const { return plugin_.hasSideChain() && plugin_.sideChainEnabled(); }

gui::PopupMenu* AuditionButton::menuForPress() {
    gui::PopupMenu* menu = gui::SelectButton::menuForPress();
    if (menu && menu->itemCount() > kSideChainItem) menu->itemAt(kSideChainItem)->enabled = sideChainAvailable();
    return menu;
}
