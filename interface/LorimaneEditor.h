#pragma once

#include <memory>

#include "interface/GenericPluginInterface.h"

// The product's editor over a plug-in instance, built into the root control of the user
// interface at the plug-in's editor size. Destroy it before the user interface. [ui]
std::unique_ptr<GenericPluginInterface> createLorimaneEditor(GenericPlugin& plugin, gui::UserInterface& ui,
                                                             EditorHost& host);
