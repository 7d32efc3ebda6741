#include "tools/lorimane/StandaloneState.h"

#include <filesystem>

#include "engine/LorimanePlugin.h"
#include "persistence/GlobalSettings.h"
#include "tools/lorimane-preset/PresetFile.h"

namespace fs = std::filesystem;

StandaloneState::StandaloneState(const std::string& clientName) {
    const GenericPlugin::VersionRecord* version = GenericPlugin::versionRecord();
    std::string file;
    for (char c : clientName) file += (c == '/' || c == '\\' || c == '\0') ? '_' : c;
    if (file.empty() || file == "." || file == "..") file = "lorimane";
    path_ = (fs::path(applicationDataFolder(version ? *version : GenericPlugin::VersionRecord{})) / "Standalone" /
             (file + ".bxp"))
                .string();
}

bool StandaloneState::exists() const {
    std::error_code ec;
    return fs::is_regular_file(path_, ec);
}

bool StandaloneState::restore(LorimanePlugin& plugin, std::string& error) {
    int kind = -1;
    if (loadAnyPreset(plugin, path_, kind, error) && kind < 0) return true;
    if (kind >= 0) error = "'" + path_ + "' holds a component preset, not a state";
    std::error_code ec;
    fs::rename(path_, path_ + ".unreadable", ec);
    if (!ec) error += "; kept as '" + path_ + ".unreadable'";
    return false;
}

bool StandaloneState::save(LorimanePlugin& plugin, std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(path_).parent_path(), ec);
    return saveAnyPreset(plugin, path_, -1, error);
}
