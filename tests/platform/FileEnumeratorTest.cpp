#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TemporaryFolder.h"
#include "platform/FileEnumerator.h"

namespace fs = std::filesystem;

namespace {

class FileEnumeratorTest : public ::testing::Test {
protected:
    void touch(const std::string& name) { std::ofstream(root / name) << "x"; }
    std::vector<std::string> list(const std::string& pattern, int mode) {
        std::vector<std::string> names;
        auto e = FileEnumerator::create((root / "").string() + pattern, mode);
        while (e->next()) names.push_back(e->currentName());
        return names;
    }
    TemporaryFolder folder;
    const fs::path& root = folder.path();
};

}  // namespace

TEST_F(FileEnumeratorTest, FilesModeOverOnlySubfoldersFindsNothing) {
    fs::create_directory(root / "A");
    fs::create_directory(root / "B");
    EXPECT_TRUE(list("*", FileEnumerator::Files).empty());
}

TEST_F(FileEnumeratorTest, ListsMatchingEntriesOfTheRequestedKindInNameOrder) {
    touch("b.bxp");
    touch("a.BXP");
    touch("notes.txt");
    fs::create_directory(root / "_Factory");
    fs::create_directory(root / "Mine.bxp");
    EXPECT_EQ(list("*.bxp", FileEnumerator::Files), (std::vector<std::string>{"a.BXP", "b.bxp"}));
    EXPECT_EQ(list("*", FileEnumerator::Directories), (std::vector<std::string>{".", "..", "Mine.bxp", "_Factory"}));
}

TEST_F(FileEnumeratorTest, MissingFolderEndsAtOnce) {
    auto e = FileEnumerator::create((root / "missing" / "*").string(), FileEnumerator::Files);
    EXPECT_FALSE(e->next());
    EXPECT_FALSE(e->next());
}
