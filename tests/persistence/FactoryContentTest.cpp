// The product's embedded factory content, installed by the first instance in a fresh home.

#include <gtest/gtest.h>

#include <filesystem>

#include "TempHome.h"
#include "engine/LorimanePlugin.h"
#include "persistence/GlobalSettings.h"
#include "persistence/PersistenceGlobals.h"
#include "product/ProductPlugin.h"

namespace {

GenericPlugin::VersionRecord productVersion() {
    GenericPlugin::VersionRecord version;
    version.productName = "Lorimane";
    return version;
}

LorimanePlugin& product(std::unique_ptr<GenericPlugin>& plugin) {
    return static_cast<LorimanePlugin&>(*plugin);
}

// makeProductPlugin registers the embedded bundle for the whole process; the other tests of this
// binary expect none.
struct FactoryContentTest : ::testing::Test {
    ~FactoryContentTest() override { PersistenceGlobals::setEmbeddedFactoryBundle({}); }
    TempHome home;
};

}  // namespace

TEST_F(FactoryContentTest, AFreshHomeReceivesThePresetsAndTheDefaultPresetLoads) {
    std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
    std::string folder = defaultPresetFolder(productVersion());
    EXPECT_TRUE(std::filesystem::exists(folder + "Default Setting.bxp"));
    EXPECT_EQ(plugin->presetState().record().name, "Default Setting");
    EXPECT_FALSE(plugin->presetState().modified());

    // Categories and their presets are listed and numbered for program changes.
    PresetManager& presets = PersistenceGlobals::instance()->mainPresets();
    std::vector<PresetEntry*> all = presets.flatten();
    EXPECT_GE(all.size(), 13u);
    std::size_t categories = presets.subfolders().size();
    EXPECT_GE(categories, 4u);
    for (const auto& category : presets.subfolders())
        EXPECT_GE(category->entries().size(), 3u) << category->path();
    // Every factory preset loads.
    for (PresetEntry* entry : all) EXPECT_TRUE(plugin->loadPreset(entry->record())) << entry->name;

    // Every component kind has its "Default", and it loads into its section.
    LorimanePlugin& lorimane = product(plugin);
    for (int kind = 0; kind < LorimanePlugin::kComponentKinds; ++kind)
        EXPECT_TRUE(lorimane.presets().loadDefaultComponentPreset(kind, 0)) << kind;
    EXPECT_FLOAT_EQ(lorimane.egs.set(0).attack.plainToDisplay(lorimane.egs.set(0).attack.value()), 0.01f);
}

TEST_F(FactoryContentTest, AUsersChangedFileStaysUnlessTheFactoryPresetsAreRestored) {
    std::string file = defaultPresetFolder(productVersion()) + "Default Setting.bxp";
    std::string factory;
    {
        std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
        factory = TempHome::readFile(file);
        product(plugin).wetLevel.setValue(0.25f, 0);
        ASSERT_TRUE(plugin->savePreset({"Default Setting", file}));
    }
    std::string changed = TempHome::readFile(file);
    ASSERT_NE(changed, factory);
    {
        // The same version again: nothing is installed, the user's default loads.
        std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
        EXPECT_EQ(TempHome::readFile(file), changed);
        EXPECT_FLOAT_EQ(product(plugin).wetLevel.value(), 0.25f);
        // An explicit install without overwrite keeps it too; restoring overwrites it.
        PersistenceGlobals::instance()->installFactoryContent(false);
        EXPECT_EQ(TempHome::readFile(file), changed);
        EXPECT_TRUE(PersistenceGlobals::instance()->restoreFactoryPresets());
        EXPECT_EQ(TempHome::readFile(file), factory);
    }
}
