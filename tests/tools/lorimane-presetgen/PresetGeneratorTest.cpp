// lorimane-presetgen, run as the build runs it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TemporaryFolder.h"
#include "engine/LorimanePlugin.h"

namespace fs = std::filesystem;

namespace {

class PresetGeneratorTest : public ::testing::Test {
protected:
    void recipe(const std::string& relative, const std::string& text) {
        fs::path p = folder.path() / "recipes" / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
    // Exit status; the error stream goes to `err`.
    int generate() {
        std::string command = std::string("\"") + LORIMANE_PRESETGEN + "\" \"" + (folder / "recipes") +
                              "\" \"" + (folder / "out") + "\" 2>\"" + (folder / "err.txt") + "\"";
        int status = std::system(command.c_str());
        std::ifstream in(folder / "err.txt");
        err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string read(const std::string& relative) {
        std::ifstream in(folder.path() / "out" / relative, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    TemporaryFolder folder;
    std::string err;
};

}  // namespace

TEST_F(PresetGeneratorTest, RecipesBecomeTheFilesThePlugInWouldSave) {
    recipe("FactoryPresets/Echoes/Short.recipe", "# intent\n\nDelay L Time = 95\nWet Level = -6\n");
    recipe("ApplicationData/Component Presets/EG/Default.recipe", "EG 1 Attack = 0.01\n");
    ASSERT_EQ(generate(), 0) << err;

    // The recipe starts from every parameter's default, not from the default preset.
    LorimanePlugin plugin;
    for (int i = 0; i < plugin.getParameterCount(); ++i)
        plugin.getParameter(i)->setValue(plugin.getParameter(i)->defaultValue(), 0);
    AbstractPluginParameter* time = &plugin.delays.set(0).time;
    AbstractPluginParameter* wet = &plugin.wetLevel;
    float plain;
    ASSERT_TRUE(time->textToPlain("95", plain));
    time->setValue(plain, 0);
    ASSERT_TRUE(wet->textToPlain("-6", plain));
    wet->setValue(plain, 0);
    EXPECT_EQ(read("FactoryPresets/Echoes/Short.bxp"), plugin.presets().allParameters().serialize(5));

    ParameterCollection& eg = *plugin.presets().componentCollection(LorimanePlugin::EGKind, 0);
    ASSERT_TRUE(plugin.egs.set(0).attack.textToPlain("0.01", plain));
    plugin.egs.set(0).attack.setValue(plain, 0);
    EXPECT_EQ(read("ApplicationData/Component Presets/EG/Default.eg"), eg.serialize(1));
}

TEST_F(PresetGeneratorTest, BadRecipesAreRefusedWithOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"FactoryPresets/A.recipe", "No Such Parameter = 1\n"},
        {"FactoryPresets/A.recipe", "Wet Level = loud\n"},
        {"FactoryPresets/A.recipe", "Wet Level\n"},
        {"ApplicationData/Component Presets/EG/A.recipe", "Wet Level = -6\n"},  // outside the section
        {"ApplicationData/Component Presets/Reverbs/A.recipe", "\n"},
        {"Elsewhere/A.recipe", "\n"},
    };
    for (const auto& [path, text] : cases) {
        fs::remove_all(folder.path() / "recipes");
        recipe(path, text);
        EXPECT_EQ(generate(), 2) << path << ": " << text;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(err.rfind("lorimane-presetgen: ", 0), 0u) << err;
    }
}
