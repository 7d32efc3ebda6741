#include "interface/LorimaneEditor.h"

#include "interface/LorimaneInterface.h"

std::unique_ptr<GenericPluginInterface> createLorimaneEditor(GenericPlugin& plugin, gui::UserInterface& ui,
                                                             EditorHost& host) {
    return std::make_unique<LorimaneInterface>(plugin, ui, host);
}
