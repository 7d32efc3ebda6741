// lorimane-lv2-turtle [--ui UI_BINARY] BUNDLE BINARY [PRESET_FOLDER [RECIPE_FOLDER]]: writes manifest.ttl and
// lorimane.ttl of the LV2 bundle from the plug-in's parameter list, and, given the factory preset
// folder, presets.ttl with every factory preset as an LV2 preset of the bundle, in a bank per
// category. Given the recipes the presets were made from, each preset's description is the first
// comment line of its recipe. Given the UI binary, the manifest declares the editor as the plug-in's UI.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/lv2/Lv2Turtle.h"
#include "product/ProductPlugin.h"
#include "persistence/TemporaryHome.h"

namespace fs = std::filesystem;

namespace {
bool writeFile(const fs::path& path, const std::string& text) {
    fs::path temporary = path.string() + ".part";
    {
        std::ofstream out(temporary, std::ios::binary);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    return !ec;
}

// The first comment line of a recipe, without its "#"; empty when there is none.
std::string recipeDescription(const fs::path& recipe) {
    std::ifstream in(recipe);
    for (std::string line; std::getline(in, line);) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] != '#') continue;
        size_t text = line.find_first_not_of(" \t#", start);
        size_t end = line.find_last_not_of(" \t\r");
        return text == std::string::npos ? std::string() : line.substr(text, end - text + 1);
    }
    return {};
}

// Every preset file under the folder, loaded into a plug-in the way the plug-in loads presets.
bool collectPresets(const fs::path& folder, const fs::path& recipes, std::vector<lv2turtle::Preset>& presets,
                    std::string& error) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator(); ++it)
        if (it->is_regular_file() && it->path().extension() == ".bxp") files.push_back(it->path());
    if (ec) {
        error = "cannot read the preset folder " + folder.string();
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        auto plugin = makeProductPlugin();
        GenericPlugin::PresetRecord record{file.stem().string(), file.string()};
        if (!plugin->loadPreset(record)) {
            error = "cannot load the preset " + file.string();
            return false;
        }
        lv2turtle::Preset preset;
        fs::path relative = fs::relative(file, folder);
        preset.category = relative.parent_path().generic_string();
        preset.label = (preset.category.empty() ? "" : preset.category + "/") + file.stem().string();
        if (!recipes.empty()) {
            preset.description = recipeDescription((recipes / relative).replace_extension(".recipe"));
            if (preset.description.empty()) {
                error = "no description in the recipe of " + file.string();
                return false;
            }
        }
        for (int i = 0; i < plugin->getParameterCount(); ++i) preset.values.push_back(plugin->getParameter(i)->value());
        presets.push_back(std::move(preset));
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::string uiBinary;
    if (argc >= 3 && std::string(argv[1]) == "--ui") {
        uiBinary = argv[2];
        argc -= 2;
        argv += 2;
    }
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: lorimane-lv2-turtle [--ui UI_BINARY] BUNDLE BINARY [PRESET_FOLDER [RECIPE_FOLDER]]\n");
        return 2;
    }
    fs::path bundle = argv[1];
    std::error_code ec;
    fs::create_directories(bundle, ec);
    // Describing the plug-in must not touch the builder's settings or presets.
    TemporaryHome home;
    std::vector<lv2turtle::Preset> presets;
    std::string error;
    if (argc >= 4 && !collectPresets(argv[3], argc == 5 ? fs::path(argv[4]) : fs::path(), presets, error)) {
        std::fprintf(stderr, "lorimane-lv2-turtle: %s\n", error.c_str());
        return 2;
    }
    auto plugin = makeProductPlugin();
    bool ok = writeFile(bundle / "manifest.ttl", lv2turtle::manifest(argv[2], presets, uiBinary)) &&
              writeFile(bundle / "lorimane.ttl", lv2turtle::pluginDescription(*plugin));
    if (ok && !presets.empty()) ok = writeFile(bundle / "presets.ttl", lv2turtle::presetDescriptions(*plugin, presets));
    if (!ok) {
        std::fprintf(stderr, "lorimane-lv2-turtle: cannot write into %s\n", argv[1]);
        return 2;
    }
    return 0;
}
