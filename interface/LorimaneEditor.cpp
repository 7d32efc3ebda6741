#include "interface/LorimaneEditor.h"

std::unique_ptr<GenericPluginInterface> createLorimaneEditor(GenericPlugin& plugin, gui::UserInterface& ui,
                                                             EditorHost& host) {
    return std::make_unique<GenericPluginInterface>(plugin, ui, host);
}
