#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/GenericPlugin.h"
#include "persistence/GlobalSettings.h"
#include "persistence/MidiControllerMap.h"
#include "persistence/PresetManager.h"

// The persistence objects that every instance of the process shares: the main preset manager, one
// manager per component kind, the MIDI controller map and the process-wide part of the global
// settings. The first instance creates them, the last releases them. The engine wires them into
// the frame by overriding, in its plug-in class:
//   initGlobals              GenericPlugin::initGlobals, then PersistenceGlobals::create(*versionRecord())
//   loadControllerMap        instance()->loadControllerMap()
//   loadDefaultControllerMap instance()->controllerMap().loadDefault()
//   loadGlobalSettings(first) instance()->readSettings(*sharedSettings(), &settings(), first)
//   saveControllerMap        instance()->saveControllerMapAtExit()
//   releaseGlobals           instance()->writeSettings(...), GenericPlugin::releaseGlobals, release()
//   getPresetFolder(index)   instance()->presetFolder(index)
// and its destructor calls releaseInstance(), so that the last instance reaches these overrides.
// UI thread, except controllerMap(), which the audio thread reads (see MidiControllerMap).
class PersistenceGlobals {
public:
    static constexpr const char* kComponentPresetsFolder = "Component Presets";

    // First instance. Also installs the settings writer of the frame.
    static PersistenceGlobals& create(const VersionRecord& version);
    // Last instance.
    static void release();
    // Null outside the lifetime of the instances.
    static PersistenceGlobals* instance();

    const VersionRecord& version() const { return version_; }
    std::string applicationData() const { return applicationDataFolder(version_); }

    PresetManager& mainPresets() { return *main_; }
    // Creates "Component Presets/<folder>" in the application-data folder when missing and a
    // manager on it listing the extension. Registering the same folder again answers its kind.
    int registerComponentKind(const std::string& folderName, const std::string& extension);
    int componentKindCount() const { return static_cast<int>(components_.size()); }
    PresetManager* componentPresets(int kind);
    // -1: the main manager; otherwise the kind's manager; null outside the range.
    PresetManager* presetFolder(int index);

    MidiControllerMap& controllerMap() { return controllerMap_; }
    std::string controllerMapPath() const { return applicationData() + MidiControllerMap::kFileName; }
    // A file that exists but cannot be read is remembered (see saveControllerMapAtExit).
    bool loadControllerMap();
    // The user's "Save". Creates the application-data folder first when needed.
    bool saveControllerMap();
    // The last instance's save: while the file could not be read and the map is still the default
    // one, the file is left as the user has it and the answer is false; otherwise saveControllerMap.
    bool saveControllerMapAtExit();

    GlobalSettingsState& settingsState() { return state_; }
    // readGlobalSettings; for the first instance also the help file name, the first major
    // version's preset folder as an extra folder, and the factory content when this version runs
    // for the first time or the preset folder is empty.
    void readSettings(GenericPlugin::SharedSettings& shared, GenericPlugin::SettingsBase* instanceSettings,
                      bool firstInstance);
    void writeSettings(GenericPlugin::SharedSettings& shared, GenericPlugin::SettingsBase* instanceSettings);

    // "Change Preset Folder...": scans and numbers the chosen folder, then writes the global
    // settings at once.
    void changePresetFolder(const std::string& folder, GenericPlugin::SharedSettings& shared,
                            GenericPlugin::SettingsBase* instanceSettings);
    // "Restore Factory Presets": installs with overwrite.
    bool restoreFactoryPresets() { return installFactoryContent(true); }
    bool installFactoryContent(bool overwrite);
    // Replaces the embedded bundle (tests and tools).
    void setFactoryBundle(std::string bytes) { bundle_ = std::move(bytes); }
    // The product's factory content, compiled into the product library, which registers it before it
    // makes the first instance; each PersistenceGlobals created later installs from it. The bytes
    // must live as long as the process. Any thread, before instances exist.
    static void setEmbeddedFactoryBundle(std::string_view bytes);

private:
    explicit PersistenceGlobals(const VersionRecord& version);

    struct Component {
        std::string folderName;
        std::unique_ptr<PresetManager> manager;
    };

    VersionRecord version_;
    std::unique_ptr<PresetManager> main_;
    std::vector<Component> components_;
    MidiControllerMap controllerMap_;
    bool controllerMapFileUnread_ = false;
    GlobalSettingsState state_;
    std::optional<std::string> bundle_;
    bool olderFolderAdded_ = false;
};
