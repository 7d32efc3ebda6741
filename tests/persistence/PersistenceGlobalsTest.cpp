#include <gtest/gtest.h>

#include <filesystem>

#include "TempHome.h"
#include "TestPlugin.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/RegistryReader.h"
#include "persistence/RegistryWriter.h"

namespace fs = std::filesystem;

namespace {
VersionRecord lorimane() {
    VersionRecord v;
    v.productName = "Lorimane";
    return v;
}
}  // namespace

TEST(PersistenceGlobalsTest, StoredSettingsAreReadBeforeTheProcessingBlockIsSized) {
    const struct {
        int stored;
        int block;
    } cases[] = {{0, 128}, {1, 64}, {2, 32}, {9, 32}};
    for (const auto& c : cases) {
        TempHome home;
        RegistryWriter(productKey(lorimane())).intValue("ConserveMemory", c.stored, 0);
        TestPlugin plugin;
        EXPECT_EQ(plugin.getBlockLength(), c.block) << c.stored;
        {
            TestPlugin second;  // a later instance reads the settings again
            EXPECT_EQ(second.getBlockLength(), c.block) << c.stored;
        }
    }
}

TEST(PersistenceGlobalsTest, TheLastInstanceSavesTheControllerMapAndTheSettings) {
    TempHome home;
    {
        TestPlugin first;
        {
            TestPlugin second;
            PersistenceGlobals::instance()->controllerMap().assignController(7, 3);
        }
        EXPECT_FALSE(fs::exists(home.path("data/Brixholde/Lorimane 2/MidiControllerMap.bxm")));
        GenericPlugin::sharedSettings()->conserveMemory = 2;  // saved at once: the settings are loaded
    }
    EXPECT_EQ(PersistenceGlobals::instance(), nullptr);
    MidiControllerMap map;
    ASSERT_TRUE(map.load(home.path("data/Brixholde/Lorimane 2/MidiControllerMap.bxm")));
    EXPECT_EQ(map.parameterFor(7), 3);
    VersionRecord v;
    v.productName = "Lorimane";
    RegistryReader r(productKey(v));
    EXPECT_EQ(r.intValue("ConserveMemory", 0, 0), 2);
    EXPECT_EQ(r.stringValue("CurrentVersion", "", ""), "2.23");
    EXPECT_EQ(r.stringValue("PresetFolder", "", ""), home.path("documents/Brixholde/Lorimane 2/"));

    // The next first instance reads the map back.
    TestPlugin again;
    EXPECT_EQ(PersistenceGlobals::instance()->controllerMap().parameterFor(7), 3);
}

TEST(PersistenceGlobalsTest, AMapFileThatCouldNotBeReadIsOnlyReplacedByAChangedMap) {
    MidiControllerMap stored;
    stored.assignController(1, 3);
    std::string valid = stored.serialize();
    std::string duplicate = valid;
    duplicate.replace(8 + 4 * 2, 4, std::string("\x03\0\0\0", 4));  // entry 2 also holds parameter 3
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {{"a parameter twice", duplicate}, {"ten entries", valid.substr(0, 8 + 4 * 10)}};
    for (const auto& c : cases) {
        TempHome home;
        std::string path = home.path("data/Brixholde/Lorimane 2/MidiControllerMap.bxm");
        TempHome::writeFile(path, c.bytes);
        {
            TestPlugin plugin;
            EXPECT_EQ(PersistenceGlobals::instance()->controllerMap().parameterFor(1), -1) << c.what;
        }
        EXPECT_TRUE(TempHome::readFile(path) == c.bytes) << c.what << ": the user's file is kept";
        {
            TestPlugin plugin;
            PersistenceGlobals::instance()->controllerMap().assignController(9, 2);
        }
        MidiControllerMap saved;
        ASSERT_TRUE(saved.load(path)) << c.what << ": a map the user changed is saved";
        EXPECT_EQ(saved.parameterFor(9), 2);

        // The user's own "Save" always writes.
        TempHome::writeFile(path, c.bytes);
        {
            TestPlugin plugin;
            EXPECT_TRUE(PersistenceGlobals::instance()->saveControllerMap()) << c.what;
        }
        EXPECT_TRUE(saved.load(path)) << c.what;
    }
}

TEST(PersistenceGlobalsTest, TheFirstMajorVersionsFolderJoinsAsAnExtraFolder) {
    TempHome home;
    TempHome::writeFile(home.path("v1/Old Favourite.bxp"), presetBytes("BLms", 5, 1, {4.0f}));
    RegistryWriter(majorVersionKey(lorimane(), 1)).stringValue("PresetFolder", home.path("v1/"), "");
    TestPlugin plugin;
    PresetManager& main = PersistenceGlobals::instance()->mainPresets();
    ASSERT_EQ(main.extraFolders().size(), 1u);
    EXPECT_EQ(main.extraFolders()[0]->displayName(), "V1 Preset Folder");
    EXPECT_NE(main.findByName("Old Favourite"), nullptr);
}

TEST(PersistenceGlobalsTest, ChangingThePresetFolderIsStoredAtOnce) {
    TempHome home;
    TempHome::writeFile(home.path("elsewhere/A.bxp"), presetBytes("BLms", 5, 1, {1.0f}));
    TestPlugin plugin;
    PersistenceGlobals& g = *PersistenceGlobals::instance();
    g.changePresetFolder(home.path("elsewhere"), *GenericPlugin::sharedSettings(), &plugin.settings());
    EXPECT_EQ(g.mainPresets().path(), home.path("elsewhere/"));
    EXPECT_EQ(g.mainPresets().findByName("A")->program, 0);
    EXPECT_EQ(RegistryReader(productKey(lorimane())).stringValue("PresetFolder", "", ""),
              home.path("elsewhere/"));
}
