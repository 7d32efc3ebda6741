#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>

#include "TempHome.h"
#include "TestPlugin.h"
#include "persistence/FactoryBundle.h"
#include "persistence/PresetManager.h"
#include "persistence/RegistryWriter.h"

namespace fs = std::filesystem;

namespace {
// Packs folder trees with the build's own packer, as the product's bundle is made.
std::string packWithTool(const TempHome& home, const std::vector<std::pair<std::string, std::string>>& tops) {
    std::string out = home.path("bundle.bin");
    std::string command = std::string("'") + LORIMANE_BUNDLEPACK + "' '" + out + "'";
    for (const auto& [name, folder] : tops) command += " '" + name + "=" + folder + "'";
    if (std::system(command.c_str()) != 0) return {};
    return TempHome::readFile(out);
}

// Hand-made bundle pieces for the entries the packer would never write.
std::string int32(std::int32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += char((std::uint32_t(v) >> (8 * i)) & 0xFF);
    return s;
}
std::string entry(const std::string& name, std::int32_t size, std::int32_t unpacked, int lengthByte = -1) {
    std::string field = name;
    field.resize(67, '\0');
    return std::string(1, char(lengthByte >= 0 ? lengthByte : int(name.size()))) + field + int32(size) +
           int32(unpacked);
}
std::string endEntry() {
    return entry("", 0, -1);
}
std::string deflate(const std::string& data) {
    uLongf n = compressBound(uLong(data.size()));
    std::string out(n, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(data.data()),
              uLong(data.size()), 9);
    out.resize(n);
    return out;
}
std::string file(const std::string& name, const std::string& data, std::int32_t claimed = -2) {
    std::string packed = deflate(data);
    return entry(name, std::int32_t(packed.size()), claimed == -2 ? std::int32_t(data.size()) : claimed) +
           packed;
}
std::string directory(const std::string& name, const std::string& listing) {
    return entry(name, std::int32_t(listing.size() + 76), -1) + listing + endEntry();
}
std::string bundle(const std::string& root) {
    std::string body = root + endEntry();
    return std::string("BX/ISB/3") + int32(std::int32_t(25 + body.size())) + std::string(41, '\0') + body;
}

struct Tree {
    TempHome& home;
    std::string source;
    explicit Tree(TempHome& h) : home(h), source(h.path("fixture/")) {
        TempHome::writeFile(source + "presets/Default Setting.bxp", presetBytes("BLms", 5, 2, {1, 2}));
        TempHome::writeFile(source + "presets/_Best Of/Wide.bxp", presetBytes("BLms", 5, 2, {3, 4}));
        TempHome::writeFile(source + "presets/Dub/Tape.bxp", std::string(5000, 'a') + "end");
        TempHome::writeFile(source + "presets/Empty.bxp", "");
        TempHome::writeFile(source + "appdata/Component Presets/Delays/Default.delays",
                            presetBytes("BLms", 1, 1, {9}));
    }
    std::string pack() {
        return packWithTool(
            home, {{"ApplicationData", source + "appdata"}, {"FactoryPresets", source + "presets"}});
    }
};
}  // namespace

TEST(FactoryBundleTest, PackedContentInstallsIntoAFreshHomeAndKeepsUserChangesUnlessAsked) {
    TempHome home;
    std::string bytes = Tree(home).pack();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(0, 8), "BX/ISB/3");

    std::string presets = home.path("documents/Brixholde/Lorimane 2/");
    std::string appData = home.path("data/Brixholde/Lorimane 2/");
    PresetManager m("", ".bxp");
    m.setFolder(presets);
    ASSERT_TRUE(m.installFactoryContent(false, appData, bytes));
    std::string source = home.path("fixture/");
    for (const char* f : {"Default Setting.bxp", "_Best Of/Wide.bxp", "Dub/Tape.bxp", "Empty.bxp"})
        EXPECT_EQ(TempHome::readFile(presets + f), TempHome::readFile(source + "presets/" + f)) << f;
    EXPECT_EQ(TempHome::readFile(appData + "Component Presets/Delays/Default.delays"),
              TempHome::readFile(source + "appdata/Component Presets/Delays/Default.delays"));
    EXPECT_EQ(m.flatten().size(), 4u) << "the manager rescanned";
    EXPECT_EQ(m.findByName("Wide")->bank, 0);

    TempHome::writeFile(presets + "Default Setting.bxp", "mine");
    ASSERT_TRUE(m.installFactoryContent(false, appData, bytes));
    EXPECT_EQ(TempHome::readFile(presets + "Default Setting.bxp"), "mine");
    ASSERT_TRUE(m.installFactoryContent(true, appData, bytes));
    EXPECT_EQ(TempHome::readFile(presets + "Default Setting.bxp"),
              TempHome::readFile(source + "presets/Default Setting.bxp"));
}

TEST(FactoryBundleTest, HostileOrBrokenEntriesAreRefusedAndNeverReplaceAFile) {
    TempHome home;
    std::string dest = home.path("dest");
    std::string ok = file("ok.bxp", "fine");
    const struct {
        const char* what;
        std::string root;
        const char* escapee;  // a path outside the destination that must not appear
    } cases[] = {
        {"parent name", directory("FactoryPresets", file("..", "x")), nullptr},
        {"climbing name", directory("FactoryPresets", directory("..", file("escaped.bxp", "x"))),
         "escaped.bxp"},
        {"separator in a name", directory("FactoryPresets", file("a/b.bxp", "x")), nullptr},
        {"backslash in a name", directory("FactoryPresets", file("a\\b.bxp", "x")), nullptr},
        {"name length beyond the field", directory("FactoryPresets", entry("long", 0, 0, 70)), nullptr},
        {"size past the listing", directory("FactoryPresets", entry("big.bxp", 1 << 20, 4)), nullptr},
        {"negative size", directory("FactoryPresets", entry("neg.bxp", -5, 4)), nullptr},
        {"listing without its end", entry("FactoryPresets", 76, -1) + entry("x.bxp", 0, 0), nullptr},
    };
    for (const auto& c : cases) {
        fs::remove_all(dest);
        EXPECT_FALSE(FactoryBundle(bundle(c.root)).unpackDirectory("FactoryPresets", dest, true)) << c.what;
        if (c.escapee) {
            EXPECT_FALSE(fs::exists(home.path(c.escapee))) << c.what;
        }
        EXPECT_FALSE(fs::exists(dest + "/a")) << c.what;
    }

    // Inflation that does not give the claimed size: the user's file of that name survives.
    const struct {
        const char* what;
        std::string entry;
    } bad[] = {
        {"claims more than it holds", file("user.bxp", "factory", 8)},
        {"claims less than it holds", file("user.bxp", "factory", 3)},
        {"claims more than deflate can give", file("user.bxp", "factory", 1 << 30)},
        {"not zlib data", entry("user.bxp", 4, 4) + "junk"},
    };
    for (const auto& b : bad) {
        fs::remove_all(dest);
        TempHome::writeFile(dest + "/user.bxp", "the user's");
        EXPECT_FALSE(FactoryBundle(bundle(directory("FactoryPresets", b.entry + ok)))
                         .unpackDirectory("FactoryPresets", dest, true))
            << b.what;
        EXPECT_EQ(TempHome::readFile(dest + "/user.bxp"), "the user's") << b.what;
        EXPECT_EQ(TempHome::readFile(dest + "/ok.bxp"), "fine") << b.what << ": later entries still unpack";
        int files = 0;
        for (auto& e : fs::directory_iterator(dest)) files += e.is_regular_file();
        EXPECT_EQ(files, 2) << b.what << ": no temporary file is left";
    }
}

TEST(FactoryBundleTest, AWrongMagicOrAMissingDirectoryInstallsNothing) {
    TempHome home;
    std::string good = bundle(directory("FactoryPresets", file("a.bxp", "x")));
    std::string wrong = good;
    wrong[7] = '4';
    std::string dest = home.path("dest");
    EXPECT_FALSE(FactoryBundle(wrong).unpackDirectory("FactoryPresets", dest, false));
    EXPECT_FALSE(FactoryBundle(good).unpackDirectory("ApplicationData", dest, false));
    EXPECT_FALSE(FactoryBundle(good.substr(0, 40)).unpackDirectory("FactoryPresets", dest, false));
    std::string overlong = good;
    overlong[8] = char(0xFF);  // a length beyond the bundle's bytes
    EXPECT_FALSE(FactoryBundle(overlong).unpackDirectory("FactoryPresets", dest, false));
    EXPECT_FALSE(fs::exists(dest));
    EXPECT_TRUE(FactoryBundle(good).unpackDirectory("FactoryPresets", dest, false));
    EXPECT_EQ(TempHome::readFile(dest + "/a.bxp"), "x");
}

TEST(FactoryBundleTest, TheFirstInstanceInstallsIntoAnEmptyPresetFolderOnly) {
    {
        TempHome home;
        std::string bytes = Tree(home).pack();
        TestPlugin::bundle = &bytes;
        {
            TestPlugin plugin;
            PresetManager& main = PersistenceGlobals::instance()->mainPresets();
            EXPECT_EQ(main.path(), home.path("documents/Brixholde/Lorimane 2/"));
            EXPECT_NE(main.findByName("Default Setting"), nullptr);
            ASSERT_TRUE(plugin.loadDefaultPreset());
            EXPECT_FLOAT_EQ(plugin.parameter(0).value(), 1.0f);
            EXPECT_FLOAT_EQ(plugin.parameter(1).value(), 2.0f);
            EXPECT_EQ(plugin.presetState().record().name, "Default Setting");
            ASSERT_NE(PersistenceGlobals::instance()->componentPresets(plugin.delays), nullptr);
            EXPECT_NE(PersistenceGlobals::instance()->componentPresets(plugin.delays)->findByName("Default"),
                      nullptr);
        }
        TestPlugin::bundle = nullptr;
    }
    {
        // Same version as stored, and a preset folder holding only an empty subfolder: no install.
        TempHome home;
        std::string bytes = Tree(home).pack();
        VersionRecord v;
        v.productName = "Lorimane";
        std::string folder = home.path("mine/");
        fs::create_directories(folder + "Empty");
        RegistryWriter w(productKey(v));
        w.stringValue("CurrentVersion", "2.23", "");
        w.stringValue("PresetFolder", folder, "");
        TestPlugin::bundle = &bytes;
        {
            TestPlugin plugin;
            EXPECT_FALSE(fs::exists(folder + "Default Setting.bxp"));
            EXPECT_FALSE(plugin.loadDefaultPreset());
        }
        TestPlugin::bundle = nullptr;
    }
}
