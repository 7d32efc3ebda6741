#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/GenericPlugin.h"
#include "persistence/OlderPresetFormats.h"
#include "persistence/ParameterCollection.h"

// The preset files of one plug-in instance: full presets of every parameter and component presets
// of one section. The engine owns one and forwards the frame's hooks to it:
//   loadPresetFile(preset)       -> loadPresetFile(preset)
//   savePresetFile(preset)       -> savePresetFile(preset)
//   findPreset(name, preset)     -> findPreset(name, preset)
// It also tells it which parameter is the freeze switch (a preset never changes it), the older
// layouts it reads, and one collection per component instance. UI thread.
class PluginPresets {
public:
    static constexpr int kPresetVersion = 5;
    static constexpr int kComponentVersion = 1;

    // tag: the plug-in's preset tag ("BLms").
    PluginPresets(GenericPlugin& plugin, std::string tag);

    // Call once every parameter exists: the full-preset collection becomes all of them.
    void collectAllParameters();
    ParameterCollection& allParameters() { return all_; }
    void setFreezeParameter(AbstractPluginParameter* parameter) { freeze_ = parameter; }
    // Older full-preset layouts; without them only the current version loads.
    void setOlderFormats(OlderPresetFormats* formats) { older_ = formats; }

    // Registers a component kind with the process-wide managers (see PersistenceGlobals) and answers
    // its number; the instance's collections for it are added with addComponentCollection.
    int registerComponentKind(const std::string& folderName, const std::string& extension);
    // A section given as a parameter range; answers the instance number within the kind.
    int addComponentCollection(int kind, int firstParameter, int count);
    // A section given as its parameters, in file order.
    int addComponentCollection(int kind, const std::vector<AbstractPluginParameter*>& parameters);
    int componentInstanceCount(int kind) const;
    ParameterCollection* componentCollection(int kind, int instance);

    // Reads the current version, else the older layouts; the freeze switch keeps its state whatever
    // the outcome.
    bool loadPresetFile(const GenericPlugin::PresetRecord& preset);
    // Writes every parameter with the current version and rescans the main preset folder.
    bool savePresetFile(const GenericPlugin::PresetRecord& preset);
    bool findPreset(const std::string& name, GenericPlugin::PresetRecord& preset);

    // Component presets: the exact version, the section's parameters only, as one undoable batch.
    bool loadComponentPreset(const std::string& path, int version, int kind, int instance);
    // Writes the section and rescans its kind's folder.
    bool saveComponentPreset(const std::string& path, int version, int kind, int instance);
    // The kind's preset named "Default"; false when there is none or it did not load.
    bool loadDefaultComponentPreset(int kind, int instance);

private:
    GenericPlugin& plugin_;
    std::string tag_;
    ParameterCollection all_;
    AbstractPluginParameter* freeze_ = nullptr;
    OlderPresetFormats* older_ = nullptr;
    std::vector<std::vector<std::unique_ptr<ParameterCollection>>> components_;
};
