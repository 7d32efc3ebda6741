#include <gtest/gtest.h>

#include <sstream>

#include "TempHome.h"
#include "TestPlugin.h"
#include "persistence/CustomPresetLoader.h"
#include "persistence/LorimanePresetLoader.h"
#include "persistence/PresetMap.h"

namespace {
std::string mapBytes(int newCount, const std::vector<int>& map, const std::vector<int>& uncovered) {
    std::ostringstream out;
    BinaryDataWriter w(out);
    w.writeHeader("PMap", 1);
    w.writeInt32(newCount);
    w.writeInt32(int(map.size()));
    for (int m : map) w.writeInt32(m);
    for (int u : uncovered) w.writeInt32(u);
    return out.str();
}

// A loader whose preset maps come from the test instead of the embedded resources.
class MappedLoader : public CustomPresetLoader {
public:
    MappedLoader(GenericParameterOwner& target, std::string map)
        : CustomPresetLoader(target, "BLms", 5), map_(std::move(map)) {}

protected:
    std::unique_ptr<std::istream> openPresetMap(const std::string& tag, int version) override {
        if (tag != "BLms" || version != 4 || map_.empty()) return nullptr;
        return std::make_unique<std::istringstream>(map_);
    }

private:
    std::string map_;
};

// A predecessor's layouts in miniature: version 1 ("BDel") carries P0, a feedback level and balance
// in capture slots that become P1 and P2, and one dropped value; version 3 lacks the freeze switch.
class SmallFormats : public OlderPresetFormats {
public:
    bool layout(int version, Layout& layout) const override {
        if (version == 1) {
            layout = {"BDel", {0, capture(0), capture(1), kDropped}};
            return true;
        }
        if (version == 3) {
            layout = {"BLms", allParametersExcept(TestPlugin::kCount, TestPlugin::kCount - 1)};
            return true;
        }
        if (version == 2 && broken) {
            layout = {"BLor", {0, 999}};
            return true;
        }
        return false;
    }
    int captureCount() const override { return 2; }
    void prepareLoad(int version, std::span<float>) override {
        if (version == 1) plugin->parameter(7).setValue(-1.0f, 0);  // a value the old list does not hold
    }
    void finishLoad(int version, std::span<const float> c) override {
        ++finished;
        if (version != 1) return;
        // Feedback from level and balance, as the predecessor stored it.
        plugin->parameter(1).setValue(c[0] * (1.0f - std::max(c[1], 0.0f)), 0);
        plugin->parameter(2).setValue(c[0] * (1.0f + std::min(c[1], 0.0f)), 0);
    }
    TestPlugin* plugin = nullptr;
    bool broken = false;
    int finished = 0;
};

struct OlderFixture : ::testing::Test {
    TempHome home;
    TestPlugin plugin;
    SmallFormats formats;
    OlderFixture() {
        formats.plugin = &plugin;
        plugin.presets.setOlderFormats(&formats);
    }
    GenericPlugin::PresetRecord write(const std::string& bytes) {
        TempHome::writeFile(home.path("p.bxp"), bytes);
        return {"p", home.path("p.bxp")};
    }
};
}  // namespace

TEST_F(OlderFixture, APresetMapSendsOldPositionsToTheirParametersAndResetsTheUncovered) {
    // Old position 0 -> parameter 2, 1 dropped, 2 -> 0; the other parameters are not in the old file.
    std::vector<int> uncovered;
    for (int i = 0; i < TestPlugin::kCount; ++i)
        if (i != 0 && i != 2) uncovered.push_back(i);
    MappedLoader loader(plugin, mapBytes(TestPlugin::kCount, {2, -1, 0}, uncovered));
    plugin.setAll(50.0f);
    std::istringstream file(presetBytes("BLms", 4, 3, {-5.0f, -6.0f, -7.0f}));
    BinaryDataReader reader(file);
    ASSERT_TRUE(loader.load(reader, -1));
    EXPECT_FLOAT_EQ(plugin.parameter(2).value(), -5.0f);
    EXPECT_FLOAT_EQ(plugin.parameter(0).value(), -7.0f);
    EXPECT_FLOAT_EQ(plugin.parameter(1).value(), 1.0f) << "uncovered: default";
    EXPECT_FLOAT_EQ(plugin.parameter(5).value(), 5.0f);
    EXPECT_EQ(loader.mappedVersion(), 4);
}

TEST_F(OlderFixture, InconsistentPresetMapsAreRefusedBeforeAnythingChanges) {
    const int n = TestPlugin::kCount;
    std::vector<int> allButZero;
    for (int i = 1; i < n; ++i) allButZero.push_back(i);
    const struct {
        const char* what;
        std::string map;
    } cases[] = {
        {"no map", ""},
        {"wrong tag", "XMap" + mapBytes(n, {0}, allButZero).substr(4)},
        {"other parameter count", mapBytes(n + 1, {0}, allButZero)},
        {"index beyond the parameters", mapBytes(n, {n + 5}, allButZero)},
        {"negative index", mapBytes(n, {-7}, allButZero)},
        {"parameter mapped twice", mapBytes(n, {1}, allButZero)},
        {"uncovered list too short", mapBytes(n, {0}, {1, 2})},
        {"zero old count", mapBytes(n, {}, allButZero)},
    };
    plugin.setAll(12.0f);
    std::vector<float> before = plugin.values();
    for (const auto& c : cases) {
        MappedLoader loader(plugin, c.map);
        std::istringstream file(presetBytes("BLms", 4, 1, {3.0f}));
        BinaryDataReader reader(file);
        EXPECT_FALSE(loader.load(reader, -1)) << c.what;
        EXPECT_EQ(plugin.values(), before) << c.what;
    }
}

TEST_F(OlderFixture, TheOldestLayoutGoesThroughCaptureSlotsAndItsConversion) {
    plugin.setAll(40.0f);
    // Feedback level 0.8 and balance 0.5: the first delay gets 0.4, the second 0.8.
    ASSERT_TRUE(plugin.loadPreset(write(presetBytes("BDel", 1, 4, {9.0f, 0.8f, 0.5f, 77.0f}))));
    EXPECT_FLOAT_EQ(plugin.parameter(0).value(), 9.0f);
    EXPECT_FLOAT_EQ(plugin.parameter(1).value(), 0.4f);
    EXPECT_FLOAT_EQ(plugin.parameter(2).value(), 0.8f);
    EXPECT_FLOAT_EQ(plugin.parameter(3).value(), 3.0f) << "not in the old list: default";
    EXPECT_FLOAT_EQ(plugin.parameter(7).value(), -1.0f) << "set by the layout's preparation";
    EXPECT_EQ(formats.finished, 1);
}

TEST_F(OlderFixture, VersionThreeAppliesEverythingButFreezeAndTagsFollowTheVersion) {
    std::vector<float> values;
    for (int i = 0; i < TestPlugin::kCount - 1; ++i) values.push_back(-float(i) * 0.25f);
    plugin.freeze->setValue(1.0f, 0);
    ASSERT_TRUE(plugin.loadPreset(write(presetBytes("BLms", 3, int(values.size()), values))));
    for (int i = 0; i < TestPlugin::kPlain; ++i)
        EXPECT_FLOAT_EQ(plugin.parameter(i).value(), values[size_t(i)]);
    EXPECT_EQ(plugin.freeze->value(), 1.0f);

    std::vector<float> before = plugin.values();
    EXPECT_FALSE(plugin.loadPreset(write(presetBytes("BDel", 3, 1, {1.0f}))))
        << "version 3 is not a BDel layout";
    EXPECT_FALSE(plugin.loadPreset(write(presetBytes("BLms", 1, 1, {1.0f})))) << "version 1 is a BDel layout";
    EXPECT_FALSE(plugin.loadPreset(write(presetBytes("BLor", 3, 1, {1.0f}))));
    EXPECT_FALSE(plugin.loadPreset(write(presetBytes("BLms", 2, 1, {1.0f})))) << "no layout for version 2";
    formats.broken = true;
    EXPECT_FALSE(plugin.loadPreset(write(presetBytes("BLor", 2, 2, {1.0f, 2.0f}))))
        << "a layout pointing nowhere";
    EXPECT_EQ(plugin.values(), before);
}

TEST(OldSlotRemapTest, OldSourcesAndTargetsMapThroughTheirTablesOrClearTheSlot) {
    // The second oldest layout's tables.
    const int sources[] = {8, 9, 14, 24, 25, 26, 27, 28};
    std::vector<int> targets;
    for (int t = 0; t <= 16; ++t) targets.push_back(t);
    for (int t : {19, 36, 37, 38, 39, 78, 79, 80, 81, 82}) targets.push_back(t);
    const int count = 27, levelBase = 83, slots = 24;

    int s = -1;
    EXPECT_EQ(OldSlotRemap::source(2, sources, s), OldSlotRemap::Mapped);
    EXPECT_EQ(s, 14);
    EXPECT_EQ(OldSlotRemap::source(8, sources, s), OldSlotRemap::Clear);
    EXPECT_EQ(OldSlotRemap::source(-1, sources, s), OldSlotRemap::Clear);

    const struct {
        int old;
        OldSlotRemap::Result result;
        int mapped;
    } cases[] = {
        {18, OldSlotRemap::Mapped, 36},  // an envelope's attack
        {30, OldSlotRemap::Mapped, 86},  // the level of old slot 4
        {27, OldSlotRemap::Mapped, 83},    {27 + 23, OldSlotRemap::Mapped, 106},
        {27 + 24, OldSlotRemap::Clear, 0},  // beyond the slot levels
        {-3, OldSlotRemap::Clear, 0},
    };
    for (const auto& c : cases) {
        int t = -99;
        EXPECT_EQ(OldSlotRemap::target(c.old, targets, count, levelBase, slots, t), c.result) << c.old;
        if (c.result == OldSlotRemap::Mapped) {
            EXPECT_EQ(t, c.mapped) << c.old;
        }
    }
    const int withGap[] = {0, -1, 5};
    int t = 0;
    EXPECT_EQ(OldSlotRemap::target(1, withGap, 3, levelBase, slots, t), OldSlotRemap::NoTarget);
    EXPECT_EQ(OldSlotRemap::target(2, withGap, 5, levelBase, slots, t), OldSlotRemap::Mapped);
    EXPECT_EQ(OldSlotRemap::target(4, withGap, 5, levelBase, slots, t), OldSlotRemap::Clear)
        << "inside count, past the table";
}
