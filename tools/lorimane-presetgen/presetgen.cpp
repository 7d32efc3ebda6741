// lorimane-presetgen RECIPES OUTPUT
//
// Builds the factory preset files from their recipes. RECIPES mirrors the factory-content tree:
// FactoryPresets/**/NAME.recipe become full presets NAME.bxp, and
// ApplicationData/Component Presets/KIND/NAME.recipe become component presets of that kind
// (NAME.delays, NAME.xlfo, ...). A recipe is plain text: blank lines and lines starting with '#'
// are ignored, every other line is "Parameter Name = typed text", read through the parameter's own
// text parser, starting from every parameter's default. A component recipe names the parameters of
// the kind's first section (e.g. "XLFO 1 Frequency"). The files are written through the plug-in,
// so they are exactly what it saves. The plug-in runs with a temporary home, so neither the
// builder's settings nor presets take part. Errors: one line on stderr, exit status 2.

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "engine/LorimanePlugin.h"
#include "persistence/ParameterCollection.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

struct Kind {
    const char* folder;
    const char* extension;
};
constexpr Kind kKinds[LorimanePlugin::kComponentKinds] = {{"Delays", ".delays"}, {"Filters", ".filters"},
                                                          {"XLFO", ".xlfo"},     {"EG", ".eg"},
                                                          {"EF", ".ef"},         {"MIDI", ".midi"}};

struct Failure {
    std::string message;
};

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

void applyRecipe(LorimanePlugin& plugin, const ParameterCollection& scope, const fs::path& recipe) {
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        AbstractPluginParameter* p = plugin.getParameter(i);
        p->setValue(p->defaultValue(), 0);
    }
    std::ifstream in(recipe);
    if (!in) throw Failure{"cannot read " + recipe.string()};
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string where = recipe.string() + ":" + std::to_string(number) + ": ";
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) throw Failure{where + "expected 'Parameter Name = text'"};
        std::string name = trim(line.substr(0, eq)), text = trim(line.substr(eq + 1));
        auto it = std::find_if(scope.parameters().begin(), scope.parameters().end(),
                               [&](AbstractPluginParameter* p) { return p->name() == name; });
        if (it == scope.parameters().end())
            throw Failure{where + "no parameter '" + name + "' in this preset"};
        float plain;
        if (!(*it)->textToPlain(text, plain))
            throw Failure{where + "'" + name + "' does not accept '" + text + "'"};
        (*it)->setValue(plain, 0);
    }
}

int generate(const fs::path& recipes, const fs::path& output) {
    TemporaryHome home;
    if (!home.ok()) throw Failure{"cannot create a temporary folder"};
    LorimanePlugin plugin;
    PluginPresets& presets = plugin.presets();
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(recipes))
        if (entry.is_regular_file() && entry.path().extension() == ".recipe") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) throw Failure{"no recipes in " + recipes.string()};

    const fs::path components = fs::path("ApplicationData") / PersistenceGlobals::kComponentPresetsFolder;
    for (const fs::path& file : files) {
        fs::path relative = fs::relative(file, recipes);
        auto first = relative.begin();
        const ParameterCollection* scope = nullptr;
        int version = PluginPresets::kPresetVersion;
        std::string extension = ".bxp";
        if (*first == "FactoryPresets") {
            scope = &presets.allParameters();
        } else if (relative.parent_path().parent_path() == components) {
            std::string kind = relative.parent_path().filename().string();
            for (int k = 0; k < LorimanePlugin::kComponentKinds; ++k) {
                if (kind != kKinds[k].folder) continue;
                scope = presets.componentCollection(k, 0);
                extension = kKinds[k].extension;
                version = PluginPresets::kComponentVersion;
            }
            if (!scope) throw Failure{file.string() + ": no component kind '" + kind + "'"};
        } else {
            throw Failure{file.string() + ": not under FactoryPresets or " + components.string()};
        }
        applyRecipe(plugin, *scope, file);
        fs::path target = output / relative;
        target.replace_extension(extension);
        fs::create_directories(target.parent_path());
        if (!scope->saveToFile(target.string(), version)) throw Failure{"cannot write " + target.string()};
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "lorimane-presetgen: usage: lorimane-presetgen RECIPES OUTPUT\n";
        return 2;
    }
    try {
        return generate(argv[1], argv[2]);
    } catch (const Failure& failure) {
        std::cerr << "lorimane-presetgen: " << failure.message << "\n";
    } catch (const std::exception& e) {
        std::cerr << "lorimane-presetgen: " << e.what() << "\n";
    }
    return 2;
}
