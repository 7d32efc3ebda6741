#pragma once

#include <string>
#include <vector>

#include "framework/GenericPlugin.h"

// Writes the Turtle description of the plug-in's LV2 bundle from the plug-in's own parameter list,
// so the description can never drift from the code. Build time.
namespace lv2turtle {

extern const char* const kPluginUri;

// A stable, readable port symbol from a parameter name: lower case, words joined by "_".
std::string symbolFor(const std::string& name);
// Symbols of every parameter, made unique in parameter order.
std::vector<std::string> parameterSymbols(GenericPlugin& plugin);

std::string manifest(const std::string& binary);
std::string pluginDescription(GenericPlugin& plugin);

}  // namespace lv2turtle
