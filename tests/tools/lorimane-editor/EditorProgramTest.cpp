#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TemporaryFolder.h"
#include "engine/LorimanePlugin.h"
#include "product/ProductPlugin.h"
#include "tools/lorimane-preset/PresetFile.h"

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

std::string read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the program with the arguments (each quoted) and the script as its file.
Result runEditor(const std::filesystem::path& folder, const std::vector<std::string>& args, const std::string& script) {
    const std::filesystem::path scriptPath = folder / "script.txt", errPath = folder / "err.txt";
    std::ofstream(scriptPath) << script;
    std::string command = std::string("'") + LORIMANE_EDITOR + "' --headless --script '" + scriptPath.string() + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " 2>'" + errPath.string() + "'";
    Result r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = read(errPath);
    return r;
}

TEST(EditorProgram, ABadScriptLineStopsWithItsNumberAndStatusTwo) {
    TemporaryFolder folder;
    Result r = runEditor(folder.path(), {}, "# first\nsize\nfrobnicate 3\nsize\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "size 640 321\n");
    EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;

    r = runEditor(folder.path(), {"--layout", "tall"}, "");
    EXPECT_EQ(r.status, 2);
}

TEST(EditorProgram, ShotWritesTheFrameAsPng) {
    TemporaryFolder folder;
    const std::filesystem::path shot = folder.path() / "frame.png", inScript = folder.path() / "wide.png";
    Result r = runEditor(folder.path(), {"--layout", "wide", "--shot", shot.string()}, "shot " + inScript.string() + "\n");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const auto& path : {shot, inScript}) {
        const std::string png = read(path);
        ASSERT_GT(png.size(), 24u) << path;
        EXPECT_EQ(png.substr(1, 3), "PNG");
        // The header's size: the wide editor.
        auto be32 = [&](size_t at) {
            return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
                   (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_EQ(be32(16), 926);
        EXPECT_EQ(be32(20), 321);
    }
}

TEST(EditorProgram, PresetAndSettingsApplyBeforeTheScript) {
    TemporaryFolder folder;
    // A preset holding a value of one parameter, and a setting for another.
    std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
    auto& product = dynamic_cast<LorimanePlugin&>(*plugin);
    std::vector<AbstractPluginParameter*> chosen;
    std::vector<std::string> texts;
    for (int i = 0; i < plugin->getParameterCount() && chosen.size() < 2; ++i) {
        AbstractPluginParameter* p = plugin->getParameter(i);
        const std::string text = p->plainToText(p->normalizedToPlain(0.75f));
        if (text == p->plainToText(p->value())) continue;
        chosen.push_back(p);
        texts.push_back(text);
    }
    ASSERT_EQ(chosen.size(), 2u);
    float plain;
    ASSERT_TRUE(chosen[0]->textToPlain(texts[0], plain));
    chosen[0]->setValue(plain, 0);
    const std::filesystem::path preset = folder.path() / "quarter.bxp";
    std::string error;
    ASSERT_TRUE(saveAnyPreset(product, preset.string(), -1, error)) << error;
    const std::string first = chosen[0]->name(), second = chosen[1]->name();
    plugin.reset();

    Result r = runEditor(folder.path(), {"--preset", preset.string(), "--set", second + "=" + texts[1]},
                         "print " + first + "\nprint " + second + "\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, first + " = " + texts[0] + "\n" + second + " = " + texts[1] + "\n");

    r = runEditor(folder.path(), {"--set", "No Such Parameter=1"}, "");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("No Such Parameter"), std::string::npos) << r.err;
}

}  // namespace
