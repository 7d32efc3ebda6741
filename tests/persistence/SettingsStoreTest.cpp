#include <gtest/gtest.h>

#include <filesystem>

#include "TempHome.h"
#include "persistence/SettingsStore.h"

namespace {
SettingsStore::Value integer(int v) {
    SettingsStore::Value value;
    value.integer = v;
    return value;
}
}  // namespace

TEST(SettingsStoreTest, TypedValuesSurviveAFreshStoreAndMatchWithoutCase) {
    TempHome home;
    SettingsStore store = SettingsStore::user();
    EXPECT_EQ(store.path(), home.path("config/Brixholde/settings"));

    SettingsStore::Value text;
    text.type = SettingsStore::Type::String;
    text.text = "tab\there\nnew line 100% \\ back";
    SettingsStore::Value bytes;
    bytes.type = SettingsStore::Type::Binary;
    bytes.bytes = {0, 255, 16, 9};
    ASSERT_TRUE(store.set("Software\\Brixholde\\Lorimane\\2.0", "ConserveMemory", integer(-7)));
    ASSERT_TRUE(store.set("Software\\Brixholde\\Lorimane\\2.0", "PresetFolder", text));
    ASSERT_TRUE(store.set("Software\\Brixholde", "Blob", bytes));

    SettingsStore again(store.path());
    SettingsStore::Value v;
    ASSERT_TRUE(again.get("SOFTWARE\\brixholde\\LORIMANE\\2.0", "conservememory", v));
    EXPECT_EQ(v.type, SettingsStore::Type::Integer);
    EXPECT_EQ(v.integer, -7);
    ASSERT_TRUE(again.get("Software\\Brixholde\\Lorimane\\2.0", "presetfolder", v));
    EXPECT_EQ(v.text, text.text);
    ASSERT_TRUE(again.get("software\\brixholde", "BLOB", v));
    EXPECT_EQ(v.bytes, bytes.bytes);
    EXPECT_FALSE(again.get("Software\\Brixholde", "ConserveMemory", v));

    // Rewriting under another spelling replaces the value instead of adding a second one.
    ASSERT_TRUE(again.set("software\\BRIXHOLDE\\lorimane\\2.0", "CONSERVEMEMORY", integer(3)));
    ASSERT_TRUE(store.get("Software\\Brixholde\\Lorimane\\2.0", "ConserveMemory", v));
    EXPECT_EQ(v.integer, 3);
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(home.path("config/Brixholde")))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1) << "no temporary file is left behind";
}

TEST(SettingsStoreTest, DamagedLinesAreSkippedAndTheRestIsKept) {
    TempHome home;
    SettingsStore store = SettingsStore::user();
    TempHome::writeFile(store.path(),
                        "int\tK\tGood\t5\n"
                        "int\tK\tNotANumber\t5x\n"
                        "string\tK\tBadEscape\t%zz\n"
                        "binary\tK\tOddHex\tabc\n"
                        "weird\tK\tType\t1\n"
                        "int\tK\tTooBig\t99999999999\n"
                        "no tabs at all\n");
    SettingsStore::Value v;
    EXPECT_TRUE(store.get("K", "Good", v));
    for (const char* name : {"NotANumber", "BadEscape", "OddHex", "Type", "TooBig"})
        EXPECT_FALSE(store.get("K", name, v)) << name;
}

TEST(SettingsStoreTest, AFailedWriteLeavesTheStoredValues) {
    TempHome home;
    SettingsStore store = SettingsStore::user();
    ASSERT_TRUE(store.set("K", "A", integer(1)));
    // A folder where the file should be makes the rename fail, as an unwritable store would.
    SettingsStore blocked(home.path("config"));
    EXPECT_FALSE(blocked.set("K", "A", integer(2)));
    SettingsStore::Value v;
    ASSERT_TRUE(store.get("K", "A", v));
    EXPECT_EQ(v.integer, 1);
}
