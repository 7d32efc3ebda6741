#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

// Points HOME and the XDG folders at a new temporary folder for the rest of the process and removes
// it again when the object goes. Build tools and the preset tool make plug-in instances only to
// read or write files they are given; without this, the instance would read the user's settings
// and default preset, create folders and install factory content in the user's home, and store its
// settings there on exit. False from ok() when no folder could be made; the environment is then
// left alone.
class TemporaryHome {
public:
    TemporaryHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lorimane-tool-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) return;
        root_ = name.data();
        ::setenv("HOME", root_.c_str(), 1);
        for (const char* variable :
             {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "XDG_CONFIG_DIRS"})
            ::setenv(variable, (root_ + "/" + variable).c_str(), 1);
    }
    ~TemporaryHome() {
        if (root_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    bool ok() const { return !root_.empty(); }

private:
    std::string root_;
};
