#include "tools/lorimane/StandaloneState.h"

#include <filesystem>
#include <sstream>

#include "engine/LorimanePlugin.h"
#include "persistence/AtomicFile.h"
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

std::string StandaloneState::recordPath() const {
    return (fs::path(path_).replace_extension(".preset")).string();
}

bool StandaloneState::restore(LorimanePlugin& plugin, std::string& error) {
    int kind = -1;
    if (loadAnyPreset(plugin, path_, kind, error) && kind < 0) {
        std::string text, name, path, modified;
        if (readWholeFile(recordPath(), text, 64 * 1024)) {
            std::istringstream lines(text);
            if (std::getline(lines, name) && std::getline(lines, path) && std::getline(lines, modified))
                plugin.writePresetState(name, path, modified == "1");
        }
        return true;
    }
    if (kind >= 0) error = "'" + path_ + "' holds a component preset, not a state";
    std::error_code ec;
    fs::rename(path_, path_ + ".unreadable", ec);
    if (!ec) error += "; kept as '" + path_ + ".unreadable'";
    return false;
}

bool StandaloneState::save(LorimanePlugin& plugin, std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(path_).parent_path(), ec);
    if (!saveAnyPreset(plugin, path_, -1, error)) return false;
    std::string name, path;
    bool modified = false;
    plugin.readPresetState(name, path, modified);
    // Names are one line; a line break would shift the record's fields.
    for (std::string* field : {&name, &path})
        for (char& c : *field)
            if (c == '\n' || c == '\r') c = ' ';
    if (writeFileAtomically(recordPath(), name + "\n" + path + "\n" + (modified ? "1" : "0") + "\n")) return true;
    error = "cannot write '" + recordPath() + "'";
    return false;
}
