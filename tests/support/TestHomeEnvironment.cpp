// Every test binary runs with HOME and the XDG folders pointing into a fresh temporary folder, set
// while the binary's static objects are built (before main, so before any test or fixture runs) and
// removed when the binary exits. No test can read or change the user's settings, presets or
// documents, even one that forgets its own temporary home.

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class TestHomeEnvironment {
public:
    TestHomeEnvironment() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lorimane-test-home-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) ::abort();  // never fall back to the real home
        root_ = name.data();
        for (const char* folder : {"/config", "/data", "/documents", "/cache", "/machine"})
            std::filesystem::create_directories(root_ + folder);
        ::setenv("HOME", root_.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
        ::setenv("XDG_DOCUMENTS_DIR", (root_ + "/documents").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (root_ + "/cache").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (root_ + "/machine").c_str(), 1);
    }
    ~TestHomeEnvironment() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

private:
    std::string root_;
};

// Built first among this file's statics; other translation units that need the home at static
// initialisation read it lazily.
const TestHomeEnvironment environment;

}  // namespace
