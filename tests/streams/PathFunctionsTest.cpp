#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "streams/PathFunctions.h"

TEST(PathFunctions, TextHelpers) {
    struct Case {
        std::string path, withSlash, withoutSlash, last, title;
    };
    for (const Case& c : {
             Case{"", "", "", "", ""},
             Case{"/a/b", "/a/b/", "/a/b", "b", "b"},
             Case{"/a/b/", "/a/b/", "/a/b", "", ""},
             Case{"/presets/My.Song.bxp", "/presets/My.Song.bxp/", "/presets/My.Song.bxp", "My.Song.bxp", "My.Song"},
             Case{"name", "name/", "name", "name", "name"},
             Case{"/dir.d/file", "/dir.d/file/", "/dir.d/file", "file", "file"},
         }) {
        EXPECT_EQ(addTrailingBackslash(c.path), c.withSlash) << c.path;
        EXPECT_EQ(removeTrailingBackslash(c.path), c.withoutSlash) << c.path;
        EXPECT_EQ(lastPathComponent(c.path), c.last) << c.path;
        EXPECT_EQ(fileTitle(c.path), c.title) << c.path;
    }
    EXPECT_EQ(stripExtension("Prime.fil"), "Prime");
    EXPECT_EQ(stripExtension("WindowsSetupDocs"), "WindowsSetupDocs");
    EXPECT_EQ(stripExtension(".hidden"), "");
}

TEST(PathFunctions, CreateDirectoriesBuildsMissingParents) {
    std::string pattern = (std::filesystem::temp_directory_path() / "lorimane-dirs-XXXXXX").string();
    std::string root = ::mkdtemp(pattern.data());
    std::string target = root + "/parent/child/";
    EXPECT_TRUE(createDirectories(target));
    EXPECT_TRUE(std::filesystem::is_directory(root + "/parent/child"));
    EXPECT_TRUE(createDirectories(target));  // already there
    EXPECT_TRUE(createDirectories(root));

    // A file in the way cannot become a directory.
    std::string file = root + "/file";
    FILE* f = std::fopen(file.c_str(), "w");
    std::fclose(f);
    EXPECT_FALSE(createDirectories(file + "/sub/"));
    EXPECT_FALSE(createDirectories("relative"));
    std::filesystem::remove_all(root);
}

TEST(PathFunctions, Utf16RoundTripAndMalformedInput) {
    std::string text = "Pr\xC3\xA9set \xE2\x82\xAC \xF0\x9F\x8E\xB9";  // é, €, a keyboard emoji
    std::u16string wide = utf8ToWide(text);
    EXPECT_EQ(wide, std::u16string(u"Pr\u00E9set \u20AC \U0001F3B9"));
    EXPECT_EQ(wideToUtf8(wide), text);

    EXPECT_EQ(utf8ToWide("a\xC3"), std::u16string(u"a\uFFFD"));          // truncated sequence
    EXPECT_EQ(utf8ToWide("\xC0\xAF"), std::u16string(u"\uFFFD\uFFFD"));  // overlong
    EXPECT_EQ(wideToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
