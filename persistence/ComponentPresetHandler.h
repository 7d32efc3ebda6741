#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/GenericPlugin.h"
#include "persistence/PluginPresets.h"
#include "persistence/PresetMenu.h"

// Receives the choice of a preset from a menu.
class PresetListener {
public:
    virtual ~PresetListener() = default;
    virtual void presetSelected(const PresetEntry& item) = 0;
};

// The component presets of one section instance behind its preset button: the menu of the kind's
// folder, loading a chosen preset as one undoable step, the kind's "Default" preset for a new
// source, and saving. Showing menus, dialogs and message boxes is the editor's; it passes a
// function that shows an information message. UI thread.
class ComponentPresetHandler : public PresetListener {
public:
    static constexpr const char* kSaveAs = "Save As...";
    static constexpr const char* kLoadFailed =
        "The preset file could not be opened. It could be corrupt, from another Brixholde plug-in, or it was "
        "written by an incompatible version of this plug-in.";

    using MessageFunction = std::function<void(const std::string& message)>;

    ComponentPresetHandler(GenericPlugin& plugin, PluginPresets& presets, int kind, int instance,
                           MessageFunction showMessage);

    // Rescans the kind's folder: its presets by plain name, a separator and "Save As...".
    std::vector<PresetMenuItem> menu(const std::string& currentPath = std::string());
    // Loads the preset; on success records an undo step and marks the compare states changed, on
    // failure shows the message.
    void presetSelected(const PresetEntry& item) override;
    // The kind's "Default" preset; the undo step is recorded whether it loaded or not.
    bool loadDefault();
    // "Brixholde Component Presets (*.ext)|*.ext|All Files (*.*)|*.*"
    std::string saveFilter() const;
    // The extension without its dot.
    std::string defaultExtension() const;
    std::string folder() const;
    // Saves the section to the chosen path; the folder is rescanned in any case.
    bool saveAs(const std::string& path);

    int kind() const { return kind_; }
    int instance() const { return instance_; }
    static constexpr int version() { return PluginPresets::kComponentVersion; }

private:
    PresetManager* manager() const;
    void recordStep();

    GenericPlugin& plugin_;
    PluginPresets& presets_;
    int kind_;
    int instance_;
    MessageFunction showMessage_;
};
