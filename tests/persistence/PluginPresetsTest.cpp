#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "TempHome.h"
#include "TestPlugin.h"
#include "persistence/PluginPresets.h"

namespace {
struct PresetFixture : ::testing::Test {
    TempHome home;
    std::unique_ptr<TestPlugin> plugin = std::make_unique<TestPlugin>();
    std::string file(const std::string& name) { return home.path(name); }
    GenericPlugin::PresetRecord write(const std::string& name, const std::string& bytes) {
        TempHome::writeFile(file(name), bytes);
        return {name, file(name)};
    }
    std::vector<float> ramp(int count, float base) {
        std::vector<float> v;
        for (int i = 0; i < count; ++i) v.push_back(base + float(i));
        return v;
    }
};
}  // namespace

TEST_F(PresetFixture, SaveLoadAndSaveAgainGivesTheSameBytes) {
    plugin->setAll(-20.0f);
    plugin->freeze->setValue(0.0f, 0);
    ASSERT_TRUE(plugin->savePreset({"A", file("A.bxp")}));
    std::string first = TempHome::readFile(file("A.bxp"));
    EXPECT_EQ(first.substr(0, 4), "BLms");
    EXPECT_EQ(first.size(), 12u + 4u * TestPlugin::kCount);

    std::vector<float> saved = plugin->values();
    plugin->setAll(30.0f);
    plugin->freeze->setValue(0.0f, 0);  // a preset never changes freeze, so start from the saved state
    ASSERT_TRUE(plugin->loadPreset({"A", file("A.bxp")}));
    plugin->dryEnabled->setValue(saved[TestPlugin::kPlain],
                                 0);  // kept across loads, so restore for the compare
    EXPECT_EQ(plugin->values(), saved);
    ASSERT_TRUE(plugin->savePreset({"B", file("B.bxp")}));
    EXPECT_EQ(TempHome::readFile(file("B.bxp")), first);
    EXPECT_EQ(plugin->presetState().record().name, "B");
    EXPECT_FALSE(plugin->presetState().modified());
}

TEST_F(PresetFixture, AFailedSaveKeepsTheCurrentPresetAndItsModifiedMark) {
    ASSERT_TRUE(plugin->savePreset({"A", file("A.bxp")}));
    plugin->setAll(7.0f);
    ASSERT_TRUE(plugin->presetState().modified());
    // The folder does not exist: nothing is written, so nothing may claim to hold the settings.
    EXPECT_FALSE(plugin->savePreset({"B", file("missing/B.bxp")}));
    EXPECT_FALSE(std::filesystem::exists(file("missing/B.bxp")));
    EXPECT_EQ(plugin->presetState().record().name, "A");
    EXPECT_EQ(plugin->presetState().record().path, file("A.bxp"));
    EXPECT_TRUE(plugin->presetState().modified());
}

TEST_F(PresetFixture, ShortAndLongValueListsResetOrIgnoreTheRest) {
    std::vector<float> values = ramp(TestPlugin::kCount + 3, 10.0f);
    // Fewer values than parameters: the rest take their defaults.
    plugin->setAll(-50.0f);
    ASSERT_TRUE(plugin->loadPresetFile(
        write("short", presetBytes("BLms", 5, 5, {values.begin(), values.begin() + 5}))));
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(plugin->parameter(i).value(), values[size_t(i)]);
    for (int i = 5; i < TestPlugin::kPlain; ++i) EXPECT_FLOAT_EQ(plugin->parameter(i).value(), float(i)) << i;
    // More values than parameters: the surplus is not read.
    ASSERT_TRUE(plugin->loadPresetFile(write("long", presetBytes("BLms", 5, int(values.size()), values))));
    for (int i = 0; i < TestPlugin::kPlain; ++i)
        EXPECT_FLOAT_EQ(plugin->parameter(i).value(), values[size_t(i)]);
}

TEST_F(PresetFixture, BadFilesAreRefusedWithTheInstanceUnchanged) {
    std::vector<float> ten = ramp(TestPlugin::kCount, 1.0f);
    std::string good = presetBytes("BLms", 5, TestPlugin::kCount, ten);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"wrong tag", presetBytes("BLor", 5, TestPlugin::kCount, ten)},
        {"two-letter tag", presetBytes("BL", 5, TestPlugin::kCount, ten)},
        {"newer version", presetBytes("BLms", 6, TestPlugin::kCount, ten)},
        {"older version without a map", presetBytes("BLms", 4, TestPlugin::kCount, ten)},
        {"version 0", presetBytes("BLms", 0, TestPlugin::kCount, ten)},
        {"negative count", presetBytes("BLms", 5, -1, ten)},
        {"count beyond the file", presetBytes("BLms", 5, 1 << 30, ten)},
        {"truncated values", good.substr(0, good.size() - 2)},
        {"header only", good.substr(0, 8)},
    };
    plugin->setAll(-33.0f);
    std::vector<float> before = plugin->values();
    for (const auto& c : cases) {
        plugin->presetState().setModified(false);
        EXPECT_FALSE(plugin->loadPreset(write("bad.bxp", c.bytes))) << c.what;
        EXPECT_EQ(plugin->values(), before) << c.what;
        EXPECT_FALSE(plugin->presetState().modified()) << c.what << ": nothing changed, nothing is marked";
    }
}

TEST_F(PresetFixture, ANonFiniteValueGivesItsParameterTheDefault) {
    std::vector<float> values = ramp(TestPlugin::kCount, 5.0f);
    values[1] = std::numeric_limits<float>::quiet_NaN();
    values[2] = std::numeric_limits<float>::infinity();
    ASSERT_TRUE(plugin->loadPresetFile(write("nan", presetBytes("BLms", 5, TestPlugin::kCount, values))));
    EXPECT_FLOAT_EQ(plugin->parameter(0).value(), 5.0f);
    EXPECT_FLOAT_EQ(plugin->parameter(1).value(), 1.0f);
    EXPECT_FLOAT_EQ(plugin->parameter(2).value(), 2.0f);
}

TEST_F(PresetFixture, FreezeNeverChangesAndDryEnabledIsKeptExceptForTheDefaultPreset) {
    std::vector<float> values = ramp(TestPlugin::kCount, 0.0f);
    values[TestPlugin::kPlain] = 0.0f;      // Dry Enabled off in the file
    values[TestPlugin::kPlain + 1] = 1.0f;  // Delay Freeze on in the file
    std::string bytes = presetBytes("BLms", 5, TestPlugin::kCount, values);
    write("x.bxp", bytes);

    for (float freezeBefore : {0.0f, 1.0f}) {
        plugin->freeze->setValue(freezeBefore, 0);
        plugin->dryEnabled->setValue(1.0f, 0);
        ASSERT_TRUE(plugin->loadPreset({"x", file("x.bxp")}));
        EXPECT_EQ(plugin->freeze->value(), freezeBefore);
        EXPECT_EQ(plugin->dryEnabled->value(), 1.0f) << "kept across an ordinary load";
        EXPECT_EQ(plugin->presetState().record().name, "x");
    }
    // A failed load leaves freeze alone too.
    plugin->freeze->setValue(1.0f, 0);
    EXPECT_FALSE(plugin->loadPreset(write("bad.bxp", "BLms")));
    EXPECT_EQ(plugin->freeze->value(), 1.0f);

    // The default preset found in the preset folder changes the kept parameters as well.
    PresetManager& main = PersistenceGlobals::instance()->mainPresets();
    TempHome::writeFile(main.path() + "Default Setting.bxp", bytes);
    main.setFolder(main.path());
    plugin->dryEnabled->setValue(1.0f, 0);
    ASSERT_TRUE(plugin->loadDefaultPreset());
    EXPECT_EQ(plugin->dryEnabled->value(), 0.0f);
}

TEST_F(PresetFixture, AComponentPresetTouchesOnlyItsSectionAndNeedsVersionOne) {
    plugin->setAll(-40.0f);
    ASSERT_TRUE(plugin->presets.saveComponentPreset(file("d.delays"), 1, plugin->delays, 0));
    std::string saved = TempHome::readFile(file("d.delays"));
    EXPECT_EQ(saved.size(), 12u + 4u * 3u);

    plugin->setAll(60.0f);
    std::vector<float> before = plugin->values();
    ASSERT_TRUE(plugin->presets.loadComponentPreset(file("d.delays"), 1, plugin->delays, 0));
    std::vector<float> after = plugin->values();
    for (int i = 0; i < TestPlugin::kCount; ++i) {
        if (i < 3)
            EXPECT_FLOAT_EQ(after[size_t(i)], -40.0f + float(i) * 0.5f) << i;
        else
            EXPECT_EQ(after[size_t(i)], before[size_t(i)]) << i;
    }

    for (const std::string& tag : {std::string("BLms"), std::string("XXXX")}) {
        write("v2.delays", presetBytes(tag, 2, 3, {1, 2, 3}));
        EXPECT_FALSE(plugin->presets.loadComponentPreset(file("v2.delays"), 1, plugin->delays, 0)) << tag;
    }
    EXPECT_EQ(plugin->values(), after);
    EXPECT_FALSE(plugin->presets.loadComponentPreset(file("d.delays"), 1, plugin->delays, 7))
        << "no such instance";
}

TEST_F(PresetFixture, TheDefaultComponentPresetComesFromItsKindsFolder) {
    EXPECT_FALSE(plugin->presets.loadDefaultComponentPreset(plugin->filters, 0));
    std::string folder = PersistenceGlobals::instance()->applicationData() + "Component Presets/Filters/";
    TempHome::writeFile(folder + "Default.filters", presetBytes("BLms", 1, 2, {-7.0f, -8.0f}));
    ASSERT_TRUE(plugin->presets.loadDefaultComponentPreset(plugin->filters, 0));
    EXPECT_FLOAT_EQ(plugin->parameter(3).value(), -7.0f);
    EXPECT_FLOAT_EQ(plugin->parameter(4).value(), -8.0f);
}

TEST_F(PresetFixture, ASaveToAnUnwritablePlaceLeavesNoFile) {
    EXPECT_FALSE(plugin->presets.savePresetFile({"n", home.path("missing/folder/n.bxp")}));
    EXPECT_FALSE(std::filesystem::exists(home.path("missing")));
}
