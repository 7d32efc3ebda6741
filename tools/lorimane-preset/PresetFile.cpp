#include "tools/lorimane-preset/PresetFile.h"

#include <strings.h>

#include <cstdint>
#include <fstream>
#include <vector>

#include "engine/LorimanePlugin.h"
#include "persistence/AtomicFile.h"
#include "persistence/ParameterCollection.h"

namespace {

constexpr const char* kKindExtensions[LorimanePlugin::kComponentKinds] = {".delays", ".filters", ".xlfo",
                                                                          ".eg",     ".ef",      ".midi"};

std::int32_t int32At(const char* bytes) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return static_cast<std::int32_t>(v);
}

std::string extensionOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

// Snapshot of every parameter, so a load that fails halfway can be undone.
std::vector<float> capture(LorimanePlugin& plugin) {
    return plugin.presets().allParameters().captureValues();
}

}  // namespace

bool readPresetHeader(const std::string& path, PresetFileHeader& header, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return error = "cannot open '" + path + "'", false;
    char bytes[12];
    if (!in.read(bytes, sizeof bytes))
        return error = "'" + path + "' is too short to be a preset file", false;
    header.tag.assign(bytes, 4);
    header.version = int32At(bytes + 4);
    header.count = int32At(bytes + 8);
    return true;
}

int presetKindOf(const LorimanePlugin& plugin, const std::string& path, const PresetFileHeader* header) {
    std::string extension = extensionOf(path);
    for (int k = 0; k < LorimanePlugin::kComponentKinds; ++k)
        if (strcasecmp(extension.c_str(), kKindExtensions[k]) == 0) return k;
    if (!header || header->tag != "BLms" || header->version != PluginPresets::kComponentVersion) return -1;
    auto& presets = const_cast<LorimanePlugin&>(plugin).presets();
    int found = -1;
    for (int k = 0; k < LorimanePlugin::kComponentKinds; ++k) {
        if (presets.componentCollection(k, 0)->size() != header->count) continue;
        if (found != -1) return -1;  // two kinds of that size: the extension must tell
        found = k;
    }
    return found;
}

bool loadAnyPreset(LorimanePlugin& plugin, const std::string& path, int& kind, std::string& error) {
    PresetFileHeader header;
    if (!readPresetHeader(path, header, error)) return false;
    kind = presetKindOf(plugin, path, &header);
    std::vector<float> before = capture(plugin);
    PluginPresets& presets = plugin.presets();
    bool loaded;
    if (kind >= 0) {
        loaded = presets.loadComponentPreset(path, PluginPresets::kComponentVersion, kind, 0);
    } else {
        presets.setFreezeParameter(nullptr);
        loaded = presets.loadPresetFile({"", path});
        presets.setFreezeParameter(&plugin.delayFreeze);
    }
    if (loaded) return true;
    presets.allParameters().applyValues(before);
    error = "'" + path + "' is not a " + std::string(kind >= 0 ? "component " : "") +
            "preset this version reads (tag '" + header.tag + "', version " + std::to_string(header.version) +
            ", " + std::to_string(header.count) + " values)";
    return false;
}

std::string presetBytes(LorimanePlugin& plugin, int kind) {
    PluginPresets& presets = plugin.presets();
    return kind >= 0 ? presets.componentCollection(kind, 0)->serialize(PluginPresets::kComponentVersion)
                     : presets.allParameters().serialize(PluginPresets::kPresetVersion);
}

bool saveAnyPreset(LorimanePlugin& plugin, const std::string& path, int kind, std::string& error) {
    if (writeFileAtomically(path, presetBytes(plugin, kind))) return true;
    error = "cannot write '" + path + "'";
    return false;
}
