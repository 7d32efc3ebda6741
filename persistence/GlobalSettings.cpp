#include "persistence/GlobalSettings.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "persistence/PresetManager.h"
#include "persistence/RegistryReader.h"
#include "persistence/RegistryWriter.h"
#include "persistence/SettingsStore.h"
#include "streams/PathFunctions.h"

namespace {
std::string environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string home() {
    return SettingsStore::homeFolder();
}

std::string productFolderName(const VersionRecord& version) {
    return version.makerName + kPathSeparator + version.productName + version.suffix() + kPathSeparator;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The documents entry of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents".
std::string userDirsDocuments() {
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') config = home() + "/.config";
    std::ifstream file(addTrailingBackslash(config) + "user-dirs.dirs");
    std::string line;
    const std::string prefix = "XDG_DOCUMENTS_DIR=";
    while (std::getline(file, line)) {
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        std::string value = line.substr(prefix.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = home() + value.substr(5);
        if (!value.empty() && value[0] == '/') return value;
    }
    return {};
}
}  // namespace

std::string productKey(const VersionRecord& version) {
    return majorVersionKey(version, version.major);
}

std::string makerKey(const VersionRecord& version) {
    return "Software\\" + version.makerName;
}

std::string majorVersionKey(const VersionRecord& version, int major) {
    return makerKey(version) + "\\" + version.productName + "\\" + std::to_string(major) + ".0";
}

std::string applicationDataFolder(const VersionRecord& version) {
    std::string base = environment("XDG_DATA_HOME");
    if (base.empty() || base[0] != '/') base = home() + "/.local/share";
    return addTrailingBackslash(base) + productFolderName(version);
}

std::string documentsFolder() {
    std::string folder = environment("XDG_DOCUMENTS_DIR");
    if (folder.empty() || folder[0] != '/') folder = userDirsDocuments();
    if (folder.empty()) folder = home() + "/Documents";
    return addTrailingBackslash(folder);
}

std::string defaultPresetFolder(const VersionRecord& version) {
    return documentsFolder() + productFolderName(version);
}

std::string versionText(const VersionRecord& version) {
    return version.versionText();
}

std::unique_ptr<SettingSerializer> productKeyWriter(const VersionRecord& version) {
    return std::make_unique<RegistryWriter>(productKey(version));
}

void installSettingsWriter() {
    GenericPlugin::SettingsBase::setWriterFactory(&productKeyWriter);
}

void serializeGlobalSettings(SettingSerializer& s, GlobalSettingsTargets t) {
    t.shared.serializeWith(s);
    if (t.instanceSettings) t.instanceSettings->serializeWith(s);
    t.state.graphicsMode = t.state.makerGraphicsAcceleration >= 0 ? t.state.makerGraphicsAcceleration
                                                                  : t.shared.graphicsAcceleration.get();

    std::string current = t.presets ? t.presets->path() : std::string();
    std::string folder = s.stringValue("PresetFolder", current, defaultPresetFolder(t.version));
    if (folder != current && t.presets) {
        if (!isDirectory(folder)) folder = defaultPresetFolder(t.version);
        t.presets->setFolder(addTrailingBackslash(folder));
    }

    std::string running = versionText(t.version);
    t.state.newVersion = s.stringValue("CurrentVersion", running, "") != running;
    if (t.state.newVersion) t.shared.showWelcomeHint = true;
}

void readGlobalSettings(GlobalSettingsTargets t) {
    RegistryReader reader(productKey(t.version));
    // The maker's override is read first so that the graphics mode derived below already honours it.
    RegistryReader maker(makerKey(t.version));
    t.state.makerGraphicsAcceleration = maker.intValue("GraphicsAcceleration", -1, -1);
    serializeGlobalSettings(reader, t);
}

void writeGlobalSettings(GlobalSettingsTargets t) {
    RegistryWriter writer(productKey(t.version));
    serializeGlobalSettings(writer, t);
}

std::string readHelpFileName(const VersionRecord& version) {
    RegistryReader reader(productKey(version), RegistryRoot::LocalMachine);
    return reader.stringValue("HelpFileName", "", "");
}

bool readUseHostShortcuts(const VersionRecord& version) {
    RegistryReader reader(productKey(version));
    return reader.boolValue("UseProToolsShortcuts", true, true);
}
