#include "interface/BrixholdePluginInterface.h"

#include "interface/HelpHintWindow.h"

BrixholdePluginInterface::BrixholdePluginInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host)
    : GenericPluginInterface(plugin, ui, host) {
    loadBackground(kBackground);
}

HelpHintWindow* BrixholdePluginInterface::createHelpHintWindow() {
    auto* window = new HelpHintWindow(&userInterface());
    window->setBackground(image(kHintBackground));
    styleHelpHint(window->label());
    return window;
}

void BrixholdePluginInterface::styleHelpHint(gui::Text& label) {
    label.colour = gui::Rgba{226, 230, 236, 255};
    label.size = 8;
    label.fontName = "DejaVu Sans Condensed";
}
