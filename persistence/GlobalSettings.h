#pragma once

#include <memory>
#include <string>

#include "framework/GenericPlugin.h"
#include "streams/SettingSerializer.h"

class PresetManager;

using VersionRecord = GenericPlugin::VersionRecord;

// Keys and folders derived from the product's identity. Any thread.
// "Software\Brixholde\Lorimane\2.0"
std::string productKey(const VersionRecord& version);
// "Software\Brixholde"
std::string makerKey(const VersionRecord& version);
// The product key of another major version: "Software\Brixholde\Lorimane\1.0".
std::string majorVersionKey(const VersionRecord& version, int major);
// $XDG_DATA_HOME (default ~/.local/share) + "/Brixholde/Lorimane 2/".
std::string applicationDataFolder(const VersionRecord& version);
// $XDG_DOCUMENTS_DIR, else the documents entry of user-dirs.dirs, else $HOME/Documents; with a
// trailing separator.
std::string documentsFolder();
// documentsFolder() + "Brixholde/Lorimane 2/".
std::string defaultPresetFolder(const VersionRecord& version);
// "2.23"
std::string versionText(const VersionRecord& version);

// Opens a store writer on the product key; the frame's settings save through it once installed.
std::unique_ptr<SettingSerializer> productKeyWriter(const VersionRecord& version);
void installSettingsWriter();

// The process-wide part of the global settings: what the full routine derives besides the settings
// groups themselves. UI thread.
struct GlobalSettingsState {
    int makerGraphicsAcceleration = -1;  // the maker key's override, -1 when absent
    int graphicsMode = 1;                // the process-wide graphics mode
    bool newVersion = false;             // the stored version text differed from the running one
    std::string helpFileName;            // machine-wide, read once
};

// The objects one run of the full routine touches. instanceSettings and presets may be null.
struct GlobalSettingsTargets {
    GenericPlugin::SharedSettings& shared;
    GenericPlugin::SettingsBase* instanceSettings;
    PresetManager* presets;
    GlobalSettingsState& state;
    const VersionRecord& version;
};

// The full routine with one serializer: shared settings, the instance's product settings, the
// graphics mode, "PresetFolder" (a stored folder that no longer exists falls back to the default
// preset folder) and "CurrentVersion" (a differing stored version sets the new-version flag, which
// forces the welcome hint on).
void serializeGlobalSettings(SettingSerializer& serializer, GlobalSettingsTargets targets);
// The full routine with a reader on the product key, then the maker key's "GraphicsAcceleration".
void readGlobalSettings(GlobalSettingsTargets targets);
// The full routine with a writer on the product key.
void writeGlobalSettings(GlobalSettingsTargets targets);
// "HelpFileName" of the machine-wide product key.
std::string readHelpFileName(const VersionRecord& version);
// "UseProToolsShortcuts" of the product key (default on); read by the host adapter.
bool readUseHostShortcuts(const VersionRecord& version);
