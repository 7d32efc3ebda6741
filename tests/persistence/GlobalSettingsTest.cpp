#include <gtest/gtest.h>

#include <filesystem>

#include "TempHome.h"
#include "persistence/GlobalSettings.h"
#include "persistence/PresetManager.h"
#include "persistence/RegistryReader.h"
#include "persistence/RegistryWriter.h"
#include "persistence/SettingsStore.h"

namespace {
// The shape of the engine's per-instance settings: three values, one of them clamped.
class ProductSettings : public GenericPlugin::Settings {
public:
    explicit ProductSettings(const VersionRecord& v)
        : Settings(v),
          expandedSection(this, -1),
          interfaceLayout(this, 0, 0, 1),
          showModulation(this, false) {}
    void serialize(SettingSerializer& s) override {
        expandedSection = s.intValue("ExpandedSection", expandedSection, expandedSection);
        interfaceLayout = s.intValue("InterfaceLayout", interfaceLayout, interfaceLayout);
        showModulation = s.boolValue("ShowModulation", showModulation, showModulation);
    }
    Property<int> expandedSection;
    LimitedProperty<int> interfaceLayout;
    Property<bool> showModulation;
};

VersionRecord lorimane() {
    VersionRecord v;
    v.productName = "Lorimane";
    return v;
}

struct Fixture {
    TempHome home;
    VersionRecord version = lorimane();
    GenericPlugin::SharedSettings shared{version};
    ProductSettings product{version};
    PresetManager presets{"", ".bxp"};
    GlobalSettingsState state;
    GlobalSettingsTargets targets() { return {shared, &product, &presets, state, version}; }
    RegistryWriter productWriter() { return RegistryWriter(productKey(version)); }
};
}  // namespace

TEST(GlobalSettingsTest, KeysAndFoldersFollowTheProductIdentity) {
    TempHome home;
    VersionRecord v = lorimane();
    EXPECT_EQ(productKey(v), "Software\\Brixholde\\Lorimane\\2.0");
    EXPECT_EQ(makerKey(v), "Software\\Brixholde");
    EXPECT_EQ(majorVersionKey(v, 1), "Software\\Brixholde\\Lorimane\\1.0");
    EXPECT_EQ(versionText(v), "2.23");
    EXPECT_EQ(applicationDataFolder(v), home.path("data/Brixholde/Lorimane 2/"));
    EXPECT_EQ(defaultPresetFolder(v), home.path("documents/Brixholde/Lorimane 2/"));

    // Without XDG_DOCUMENTS_DIR the user-dirs file decides, and without that $HOME/Documents.
    ::unsetenv("XDG_DOCUMENTS_DIR");
    EXPECT_EQ(documentsFolder(), home.path("Documents/"));
    TempHome::writeFile(home.path("config/user-dirs.dirs"), "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    EXPECT_EQ(documentsFolder(), home.path("Docs/"));
}

TEST(GlobalSettingsTest, AnEmptyStoreGivesTheDefaultsAndMarksANewVersion) {
    Fixture f;
    readGlobalSettings(f.targets());
    EXPECT_EQ(f.shared.conserveMemory.get(), 0);
    EXPECT_TRUE(f.shared.correctDigiProductIds.get());
    EXPECT_FALSE(f.shared.enableMidiProgramChanges.get());
    EXPECT_EQ(f.shared.graphicsAcceleration.get(), 1);
    EXPECT_FALSE(f.shared.savePresetItemEnabled.get());
    EXPECT_TRUE(f.shared.showInteractiveHelp.get());
    EXPECT_TRUE(f.shared.showComponentDisplays.get());
    EXPECT_EQ(f.product.expandedSection.get(), -1);
    EXPECT_EQ(f.presets.path(), defaultPresetFolder(f.version));
    EXPECT_TRUE(f.state.newVersion);
    EXPECT_TRUE(f.shared.showWelcomeHint.get()) << "a version change forces the welcome hint on";
    EXPECT_EQ(f.state.graphicsMode, 1);
}

TEST(GlobalSettingsTest, StoredValuesReadBackWithTheirClamps) {
    struct Case {
        const char* name;
        bool asString;
        int stored;
        int conserve;
        int layout;
    };
    const Case cases[] = {
        {"ConserveMemory", false, 9, 4, 0},
        {"ConserveMemory", false, -3, 0, 0},
        {"ConserveMemory", false, 2, 2, 0},
        {"ConserveMemory", true, 3, 0, 0},  // a string where a number belongs reads as the default
        {"InterfaceLayout", false, 5, 0, 1},
        {"InterfaceLayout", false, -1, 0, 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        RegistryWriter w = f.productWriter();
        if (c.asString)
            w.stringValue(c.name, std::to_string(c.stored), "");
        else
            w.intValue(c.name, c.stored, 0);
        readGlobalSettings(f.targets());
        EXPECT_EQ(f.shared.conserveMemory.get(), c.conserve) << c.name << " " << c.stored;
        EXPECT_EQ(f.product.interfaceLayout.get(), c.layout) << c.name << " " << c.stored;
    }
}

TEST(GlobalSettingsTest, TheMakerKeyOverridesTheGraphicsModeForTheProcess) {
    Fixture f;
    f.productWriter().intValue("GraphicsAcceleration", 1, 1);
    RegistryWriter(makerKey(f.version)).intValue("GraphicsAcceleration", 0, 0);
    readGlobalSettings(f.targets());
    EXPECT_EQ(f.state.graphicsMode, 0);
    EXPECT_EQ(f.shared.graphicsAcceleration.get(), 1);
}

TEST(GlobalSettingsTest, WritingStoresTheFolderWithItsSeparatorAndTheVersion) {
    Fixture f;
    std::filesystem::create_directories(f.home.path("mine"));
    f.presets.setFolder(f.home.path("mine"));
    f.shared.conserveMemory = 3;
    writeGlobalSettings(f.targets());
    EXPECT_FALSE(f.state.newVersion);

    RegistryReader r(productKey(f.version));
    EXPECT_EQ(r.stringValue("PresetFolder", "", ""), f.home.path("mine/"));
    EXPECT_EQ(r.stringValue("CurrentVersion", "", ""), "2.23");
    EXPECT_EQ(r.intValue("ConserveMemory", 0, 0), 3);

    // Read back by fresh objects: the folder is taken over and the version is not new.
    GenericPlugin::SharedSettings shared(f.version);
    PresetManager presets("", ".bxp");
    GlobalSettingsState state;
    readGlobalSettings({shared, nullptr, &presets, state, f.version});
    EXPECT_EQ(presets.path(), f.home.path("mine/"));
    EXPECT_EQ(shared.conserveMemory.get(), 3);
    EXPECT_FALSE(state.newVersion);
}

TEST(GlobalSettingsTest, AStoredFolderThatVanishedFallsBackToTheDefault) {
    Fixture f;
    f.productWriter().stringValue("PresetFolder", f.home.path("gone/"), "");
    readGlobalSettings(f.targets());
    EXPECT_EQ(f.presets.path(), defaultPresetFolder(f.version));
    EXPECT_EQ(RegistryReader(productKey(f.version)).stringValue("PresetFolder", "", ""), f.home.path("gone/"))
        << "the store keeps the old path until the next write";
}

TEST(GlobalSettingsTest, PersistentSettingsSaveOnChangeButAReadPassNeverOverwritesUnreadValues) {
    Fixture f;
    installSettingsWriter();
    RegistryWriter w = f.productWriter();
    w.intValue("ConserveMemory", 2, 0);
    w.intValue("ShowComponentDisplays", 0, 1);
    w.intValue("showWelcomeHint", 0, 0);
    w.stringValue("CurrentVersion", "2.23", "");

    // Not loaded yet: a change is not saved.
    f.shared.savePresetItemEnabled = true;
    EXPECT_EQ(RegistryReader(productKey(f.version)).intValue("SavePresetItemEnabled", -5, -5), -5);
    f.shared.savePresetItemEnabled = false;

    f.shared.persistent = true;
    readGlobalSettings(f.targets());
    EXPECT_EQ(f.shared.conserveMemory.get(), 2);
    EXPECT_FALSE(f.shared.showComponentDisplays.get()) << "read after ConserveMemory changed";

    f.shared.enableMidiProgramChanges = true;
    RegistryReader r(productKey(f.version));
    EXPECT_EQ(r.intValue("EnableMIDIProgramChanges", 0, 0), 1);
    EXPECT_EQ(r.intValue("ShowComponentDisplays", 1, 1), 0);
    GenericPlugin::SettingsBase::setWriterFactory(nullptr);
}

TEST(GlobalSettingsTest, MachineWideValuesAreReadOnlyAndSeparateFromTheUsersStore) {
    TempHome home;
    VersionRecord v = lorimane();
    SettingsStore machine = SettingsStore::machine();
    EXPECT_EQ(machine.path(), home.path("machine/Brixholde/settings"));
    SettingsStore::Value help;
    help.type = SettingsStore::Type::String;
    help.text = "/usr/share/doc/lorimane/help.pdf";
    ASSERT_TRUE(machine.set(productKey(v), "HelpFileName", help));
    EXPECT_EQ(readHelpFileName(v), help.text);

    RegistryWriter(productKey(v), RegistryRoot::LocalMachine).stringValue("HelpFileName", "changed", "");
    EXPECT_EQ(readHelpFileName(v), help.text);
    EXPECT_EQ(RegistryReader(productKey(v)).stringValue("HelpFileName", "none", "none"), "none");
    EXPECT_TRUE(readUseHostShortcuts(v));
    RegistryWriter(productKey(v)).boolValue("UseProToolsShortcuts", false, true);
    EXPECT_FALSE(readUseHostShortcuts(v));
}
