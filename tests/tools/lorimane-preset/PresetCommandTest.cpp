#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TemporaryFolder.h"
#include "engine/LorimanePlugin.h"
#include "tools/lorimane-preset/PresetCommand.h"
#include "tools/lorimane-render/RenderCommand.h"

namespace fs = std::filesystem;

namespace {

// A preset file from its documented layout: tag, version, count, then the float32 values.
std::string presetFile(const std::string& tag, int version, int count, const std::vector<float>& values) {
    std::string bytes = tag.substr(0, 4);
    auto put = [&](const void* p) { bytes.append(static_cast<const char*>(p), 4); };
    put(&version);
    put(&count);
    for (float v : values) put(&v);
    return bytes;
}

std::vector<float> valuesOf(const std::string& bytes) {
    std::vector<float> values((bytes.size() - 12) / 4);
    if (!values.empty()) std::memcpy(values.data(), bytes.data() + 12, values.size() * 4);
    return values;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

class PresetCommandTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder / name; }
    std::string write(const std::string& name, const std::string& bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    std::string read(const std::string& name) {
        std::ifstream in(path(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    int preset(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return presetCommand(args, out, err);
    }
    int render(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return renderCommand(args, out, err, false);
    }

    TemporaryFolder folder;
    std::ostringstream out, err;
    LorimanePlugin reference;  // names, indices and defaults to compare with
};

}  // namespace

TEST_F(PresetCommandTest, ConvertCompletesAShortListWithDefaultsAndKeepsWhatTheFileHolds) {
    const int count = reference.getParameterCount();
    std::vector<float> values;
    for (int i = 0; i < count - 5; ++i) values.push_back(reference.getParameter(i)->defaultValue());
    int wet = reference.wetLevel.index(), freeze = reference.delayFreeze.index(),
        dry = reference.dryEnabled.index();
    values[std::size_t(wet)] = 0.25f;
    values[std::size_t(freeze)] = 1.0f;  // a load never changes freeze, a conversion keeps it
    values[std::size_t(dry)] = 0.0f;
    std::string in = write("short.bxp", presetFile("BLms", 5, count - 5, values));

    ASSERT_EQ(preset({"convert", in, path("full.bxp")}), 0) << err.str();
    std::string converted = read("full.bxp");
    EXPECT_EQ(converted.substr(0, 4), "BLms");
    std::vector<float> got = valuesOf(converted);
    ASSERT_EQ(got.size(), std::size_t(count));
    for (int i = 0; i < count; ++i) {
        float expected = i < count - 5 ? values[std::size_t(i)] : reference.getParameter(i)->defaultValue();
        EXPECT_EQ(got[std::size_t(i)], expected) << i;
    }
    // Converting the converted file changes nothing.
    ASSERT_EQ(preset({"convert", path("full.bxp"), path("again.bxp")}), 0) << err.str();
    EXPECT_EQ(read("again.bxp"), converted);

    ASSERT_EQ(preset({"show", path("full.bxp")}), 0) << err.str();
    std::vector<std::string> shown = lines(out.str());
    ASSERT_EQ(shown.size(), std::size_t(count));
    EXPECT_EQ(shown[std::size_t(freeze)], std::to_string(freeze) + "\tDelay Freeze\tOn");
    AbstractPluginParameter& w = reference.wetLevel;
    EXPECT_EQ(shown[std::size_t(wet)], std::to_string(wet) + "\t" + w.name() + "\t" + w.plainToText(0.25f));
}

TEST_F(PresetCommandTest, ComponentPresetsShowTheirSectionAndConvertAsComponents) {
    ParameterCollection& eg = *reference.presets().componentCollection(LorimanePlugin::EGKind, 0);
    std::vector<float> values;
    for (AbstractPluginParameter* p : eg.parameters()) values.push_back(p->normalizedToPlain(0.75f));
    std::string in = write("Slow.eg", presetFile("BLms", 1, eg.size(), values));

    ASSERT_EQ(preset({"show", in}), 0) << err.str();
    std::vector<std::string> shown = lines(out.str());
    ASSERT_EQ(shown.size(), std::size_t(eg.size()));
    for (int i = 0; i < eg.size(); ++i) {
        AbstractPluginParameter* p = eg.at(i);
        EXPECT_EQ(shown[std::size_t(i)], std::to_string(p->index()) + "\t" + p->name() + "\t" +
                                             p->plainToText(values[std::size_t(i)]));
    }
    // Without a component extension, the value count tells the kind.
    std::string unnamed = write("eg.bin", presetFile("BLms", 1, eg.size(), values));
    ASSERT_EQ(preset({"convert", unnamed, path("out.eg")}), 0) << err.str();
    EXPECT_EQ(read("out.eg"), read("Slow.eg"));
}

TEST_F(PresetCommandTest, RefusesWithOneLineAndWritesNothing) {
    std::vector<float> few(10, 0.0f);
    struct Case {
        std::vector<std::string> args;
        const char* bytes;  // written to in.bxp first when set
        std::string fileBytes;
    };
    const Case cases[] = {
        {{}, nullptr, ""},
        {{"list", "x"}, nullptr, ""},
        {{"convert", "in.bxp"}, nullptr, ""},
        {{"convert", "missing.bxp", "out.bxp"}, nullptr, ""},
        {{"convert", "in.bxp", "out.bxp"}, "tag", presetFile("BLxx", 5, 10, few)},
        {{"convert", "in.bxp", "out.bxp"}, "version", presetFile("BLms", 6, 10, few)},
        {{"convert", "in.bxp", "out.bxp"}, "short", presetFile("BLms", 5, 705, few)},
        {{"convert", "in.bxp", "out.bxp"}, "header", "BLms\5"},
        {{"show", "in.eg"}, "component version", presetFile("BLms", 2, 8, few)},
        {{"convert", "in.bxp", "no/such/folder/out.bxp"}, "unwritable", presetFile("BLms", 5, 10, few)},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        if (c.bytes) write(args[1], c.fileBytes);
        for (std::size_t i = 1; i < args.size(); ++i) args[i] = path(args[i]);
        EXPECT_EQ(preset(args), 2) << (c.bytes ? c.bytes : "arguments");
        EXPECT_TRUE(out.str().empty());
        EXPECT_EQ(lines(err.str()).size(), 1u) << err.str();
        EXPECT_EQ(err.str().rfind("lorimane-preset: ", 0), 0u) << err.str();
        EXPECT_FALSE(fs::exists(path("out.bxp")));
    }
}

TEST_F(PresetCommandTest, RenderLoadsAPresetAppliesSettingsAndSavesTheState) {
    reference.wetLevel.setValue(0.5f, 0);
    ASSERT_TRUE(reference.presets().allParameters().saveToFile(path("wet.bxp"), 5));

    ASSERT_EQ(
        render({"--preset", path("wet.bxp"), "--set", "Dry Pan=-0.5", "--save-preset", path("saved.bxp")}), 0)
        << err.str();
    reference.dryPan.setValue(-0.5f, 0);
    EXPECT_EQ(read("saved.bxp"), reference.presets().allParameters().serialize(5));

    // With an output file it renders as well, and the preset is written after the audio.
    ASSERT_EQ(render({"--preset", path("saved.bxp"), "--tail", "0.1", "--save-preset", path("again.bxp"),
                      path("out.wav")}),
              0)
        << err.str();
    EXPECT_TRUE(fs::exists(path("out.wav")));
    EXPECT_EQ(read("again.bxp"), read("saved.bxp"));

    // A preset that does not load, or a setting that does not parse, writes nothing.
    write("bad.bxp", presetFile("BLms", 9, 0, {}));
    EXPECT_EQ(render({"--preset", path("bad.bxp"), "--save-preset", path("x.bxp"), path("x.wav")}), 2);
    EXPECT_EQ(render({"--preset", path("wet.bxp"), "--set", "Dry Pan=left", "--save-preset", path("x.bxp")}),
              2);
    EXPECT_EQ(render({"--save-preset", path("x.bxp"), "--tail", "0", path("no/such/x.wav")}), 2);
    EXPECT_EQ(lines(err.str()).size(), 1u);
    EXPECT_FALSE(fs::exists(path("x.bxp")));
    EXPECT_FALSE(fs::exists(path("x.wav")));
}

TEST_F(PresetCommandTest, ShowAndConvertReadOlderLayoutsAsALoadConvertsThem) {
    // "BDel" 1: feedback level 0.8 with balance 0.5 at positions 9 and 10.
    std::vector<float> values(150, 0.0f);
    values[9] = 0.8f;
    values[10] = 0.5f;
    std::string in = write("old.bxp", presetFile("BDel", 1, 150, values));
    ASSERT_EQ(preset({"show", in}), 0) << err.str();
    std::vector<std::string> shown = lines(out.str());
    ASSERT_EQ(shown.size(), std::size_t(reference.getParameterCount()));
    AbstractPluginParameter& first = reference.delays.set(0).feedback;
    AbstractPluginParameter& second = reference.delays.set(1).feedback;
    EXPECT_EQ(shown[std::size_t(first.index())],
              std::to_string(first.index()) + "\t" + first.name() + "\t" + first.plainToText(0.4f));
    EXPECT_EQ(shown[std::size_t(second.index())],
              std::to_string(second.index()) + "\t" + second.name() + "\t" + second.plainToText(0.8f));

    ASSERT_EQ(preset({"convert", in, path("new.bxp")}), 0) << err.str();
    std::string converted = read("new.bxp");
    EXPECT_EQ(converted.substr(0, 4), "BLms");
    int version;
    std::memcpy(&version, converted.data() + 4, 4);
    EXPECT_EQ(version, 5);
    EXPECT_FLOAT_EQ(valuesOf(converted)[std::size_t(first.index())], 0.4f);
}
