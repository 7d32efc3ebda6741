#pragma once

#include <string>
#include <vector>

#include "framework/GenericPlugin.h"

// Writes the Turtle description of the plug-in's LV2 bundle from the plug-in's own parameter list,
// so the description can never drift from the code. Build time.
namespace lv2turtle {

extern const char* const kPluginUri;
extern const char* const kUiUri;

// A stable, readable port symbol from a parameter name: lower case, words joined by "_".
std::string symbolFor(const std::string& name);
// Symbols of every parameter, made unique in parameter order.
std::vector<std::string> parameterSymbols(GenericPlugin& plugin);

// A factory preset as hosts list it: its label and the plug-in's parameter values after loading it.
struct Preset {
    std::string label;     // "Category/Name", or "Name" at the top of the preset folder
    std::vector<float> values;  // plain value of every parameter, in parameter order
    std::string category;     // the preset folder's subfolder holding it; empty at the top
    std::string description;  // one line saying what it sounds like; may be empty
};

// With a UI binary, the bundle also declares the editor as the plug-in's X11 UI.
std::string manifest(const std::string& binary, const std::vector<Preset>& presets = {},
                     const std::string& uiBinary = {});
std::string pluginDescription(GenericPlugin& plugin);
// The presets as LV2 presets of the bundle: one port value per parameter, in the port's units.
std::string presetDescriptions(GenericPlugin& plugin, const std::vector<Preset>& presets);
std::string presetUri(const Preset& preset);
// The bank hosts group a category's presets under.
std::string bankUri(const std::string& category);

}  // namespace lv2turtle
