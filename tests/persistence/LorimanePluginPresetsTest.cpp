// The delay engine wired to the preset files, the shared preset managers and the settings store.

#include <gtest/gtest.h>

#include <filesystem>

#include "TempHome.h"
#include "engine/LorimanePlugin.h"
#include "engine/LorimaneSettings.h"
#include "framework/DefaultEventReceiver.h"
#include "persistence/GlobalSettings.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/RegistryWriter.h"

namespace {

// Moves every parameter away from its default, each to a different valid value.
void scramble(GenericPlugin& plugin, float phase) {
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        AbstractPluginParameter* p = plugin.getParameter(i);
        float t = std::fmod(phase + 0.37f * float(i), 1.0f);
        p->setValue(p->normalizedToPlain(t), 0);
    }
}

std::vector<float> values(GenericPlugin& plugin) {
    std::vector<float> v;
    for (int i = 0; i < plugin.getParameterCount(); ++i) v.push_back(plugin.getParameter(i)->value());
    return v;
}

GenericPlugin::VersionRecord productVersion() {
    GenericPlugin::VersionRecord version;
    version.productName = "Lorimane";
    return version;
}

struct LorimanePresets : ::testing::Test {
    TempHome home;
    std::string file(const std::string& name) { return home.path(name); }
};

}  // namespace

TEST_F(LorimanePresets, SaveLoadAndSaveAgainGivesTheSameBytes) {
    LorimanePlugin plugin;
    scramble(plugin, 0.3f);
    plugin.delayFreeze.setValue(0.0f, 0);
    ASSERT_TRUE(plugin.savePreset({"A", file("A.bxp")}));
    std::string first = TempHome::readFile(file("A.bxp"));
    ASSERT_EQ(first.size(), 12u + 4u * 705u);
    EXPECT_EQ(first.substr(0, 4), "BLms");
    std::vector<float> saved = values(plugin);

    scramble(plugin, 0.8f);
    plugin.delayFreeze.setValue(0.0f, 0);
    plugin.dryEnabled.setValue(saved[std::size_t(plugin.dryEnabled.index())], 0);
    ASSERT_TRUE(plugin.loadPreset({"A", file("A.bxp")}));
    EXPECT_EQ(values(plugin), saved);
    ASSERT_TRUE(plugin.savePreset({"B", file("B.bxp")}));
    EXPECT_EQ(TempHome::readFile(file("B.bxp")), first);
}

TEST_F(LorimanePresets, DryEnabledAndFreezeKeepTheirStateAcrossLoads) {
    LorimanePlugin plugin;
    plugin.dryEnabled.setValue(1.0f, 0);
    plugin.delayFreeze.setValue(1.0f, 0);
    ASSERT_TRUE(plugin.savePreset({"On", file("On.bxp")}));
    plugin.dryEnabled.setValue(0.0f, 0);
    plugin.delayFreeze.setValue(0.0f, 0);
    ASSERT_TRUE(plugin.loadPreset({"On", file("On.bxp")}));
    EXPECT_EQ(plugin.dryEnabled.value(), 0.0f);
    EXPECT_EQ(plugin.delayFreeze.value(), 0.0f);

    // A failing load leaves both alone too.
    TempHome::writeFile(file("bad.bxp"), "BLms");
    plugin.delayFreeze.setValue(1.0f, 0);
    EXPECT_FALSE(plugin.loadPreset({"bad", file("bad.bxp")}));
    EXPECT_EQ(plugin.delayFreeze.value(), 1.0f);
}

TEST_F(LorimanePresets, EachComponentKindCoversItsSectionAndALoadTouchesOnlyIt) {
    LorimanePlugin plugin;
    struct Case {
        int kind;
        int instances;
        int size;
        const char* firstName;
    };
    const Case cases[] = {
        {LorimanePlugin::DelaysKind, 1, 17, "Delay L Time"},
        {LorimanePlugin::FiltersKind, 1, 15, nullptr},
        {LorimanePlugin::XLFOKind, 6, 73, "XLFO 1 Frequency"},
        {LorimanePlugin::EGKind, 6, 8, nullptr},
        {LorimanePlugin::EFKind, 4, 3, nullptr},
        {LorimanePlugin::MidiKind, 10, 3, nullptr},
    };
    PluginPresets& presets = plugin.presets();
    for (const Case& c : cases) {
        ASSERT_EQ(presets.componentInstanceCount(c.kind), c.instances) << c.kind;
        for (int n = 0; n < c.instances; ++n)
            EXPECT_EQ(presets.componentCollection(c.kind, n)->size(), c.size);
        if (c.firstName) {
            EXPECT_EQ(presets.componentCollection(c.kind, 0)->at(0)->name(), c.firstName);
        }
    }

    // Save the second XLFO, move everything, load it back: the XLFO returns, nothing else moves.
    scramble(plugin, 0.2f);
    ParameterCollection& xlfo2 = *presets.componentCollection(LorimanePlugin::XLFOKind, 1);
    std::vector<float> section = xlfo2.captureValues();
    std::string path = file("x.xlfo");
    ASSERT_TRUE(presets.saveComponentPreset(path, 1, LorimanePlugin::XLFOKind, 1));
    scramble(plugin, 0.6f);
    std::vector<float> before = values(plugin);
    ASSERT_TRUE(presets.loadComponentPreset(path, 1, LorimanePlugin::XLFOKind, 1));
    EXPECT_TRUE(xlfo2.matches(section));
    std::vector<float> after = values(plugin);
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        bool inSection = false;
        for (AbstractPluginParameter* p : xlfo2.parameters()) inSection |= p->index() == i;
        if (!inSection) {
            EXPECT_EQ(after[std::size_t(i)], before[std::size_t(i)]) << i;
        }
    }
    // The component version is exact.
    EXPECT_FALSE(presets.loadComponentPreset(path, 2, LorimanePlugin::XLFOKind, 1));
}

TEST_F(LorimanePresets, TheDefaultPresetLoadsAtConstructionIncludingKeptParameters) {
    std::vector<float> stored;
    {
        LorimanePlugin plugin;
        scramble(plugin, 0.45f);
        plugin.dryEnabled.setValue(0.0f, 0);
        stored = values(plugin);
        std::string folder = defaultPresetFolder(productVersion());
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(plugin.savePreset({"Default Setting", folder + "Default Setting.bxp"}));
    }
    LorimanePlugin plugin;
    stored[std::size_t(plugin.delayFreeze.index())] = plugin.delayFreeze.defaultValue();
    EXPECT_EQ(values(plugin), stored);
    EXPECT_EQ(plugin.dryEnabled.value(), 0.0f);
    EXPECT_EQ(plugin.presetState().record().name, "Default Setting");
}

TEST_F(LorimanePresets, AProgramChangeLoadsItsPresetOnTheOwnerThread) {
    std::string folder = defaultPresetFolder(productVersion());
    {
        LorimanePlugin plugin;
        std::filesystem::create_directories(folder);
        plugin.wetLevel.setValue(0.25f, 0);
        ASSERT_TRUE(plugin.savePreset({"A", folder + "A.bxp"}));
        plugin.wetLevel.setValue(0.5f, 0);
        ASSERT_TRUE(plugin.savePreset({"B", folder + "B.bxp"}));
    }
    LorimanePlugin plugin;
    plugin.sharedSettings()->enableMidiProgramChanges = true;
    auto& receiver = static_cast<DefaultEventReceiver&>(plugin.eventReceiver()).channelReceiver();
    EXPECT_FALSE(plugin.deliverProgramChange());
    receiver.programChange(0, 1);
    EXPECT_NE(plugin.wetLevel.value(), 0.5f);  // nothing loads on the calling (audio) thread
    ASSERT_TRUE(plugin.deliverProgramChange());
    EXPECT_FLOAT_EQ(plugin.wetLevel.value(), 0.5f);
    EXPECT_EQ(plugin.presetState().record().name, "B");
    receiver.programChange(0, 7);  // no preset has that number
    EXPECT_FALSE(plugin.deliverProgramChange());
}

TEST_F(LorimanePresets, TheEditorPreferencesReadBackClampedAndAreStored) {
    RegistryWriter writer(productKey(productVersion()));
    writer.intValue(LorimaneSettings::kExpandedSectionKey, 3, 0);
    writer.intValue(LorimaneSettings::kInterfaceLayoutKey, 7, 0);
    writer.intValue(LorimaneSettings::kShowModulationKey, 1, 0);
    {
        LorimanePlugin plugin;
        auto& settings = static_cast<LorimaneSettings&>(plugin.settings());
        EXPECT_EQ(settings.expandedSection.get(), 3);
        EXPECT_EQ(settings.interfaceLayout.get(), 1);
        EXPECT_TRUE(settings.showModulation.get());
        EXPECT_EQ(plugin.getEditorWidth(), 926);
        settings.showModulation = false;
        settings.expandedSection = -1;
    }
    LorimanePlugin plugin;
    auto& settings = static_cast<LorimaneSettings&>(plugin.settings());
    EXPECT_FALSE(settings.showModulation.get());
    EXPECT_EQ(settings.expandedSection.get(), -1);
    EXPECT_EQ(settings.interfaceLayout.get(), 1);
}
