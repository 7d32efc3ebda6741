#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// Points HOME and the XDG folders at a new temporary folder and removes the folder when the object
// goes. Build tools and the preset tool make plug-in instances only to read or write files they are
// given, and tests must never touch the user's files; without this, an instance would read the
// user's settings and default preset, create folders and install factory content in the user's
// home, and store its settings there on exit. By default the variables keep pointing at the removed
// folder, so that whatever still stores settings while the process exits cannot reach the user's
// home; a home for one test restores them. False from ok() when no folder could be made; the
// environment is then left alone.
struct TemporaryHomeOptions {
    bool createFolders = false;  // the XDG folders exist from the start, not only the home
    bool restore = false;        // the variables get their old values back when the object goes
};

class TemporaryHome {
public:
    explicit TemporaryHome(const std::string& prefix = "lorimane-tool", TemporaryHomeOptions options = {}) {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) return;
        root_ = name.data();
        restore_ = options.restore;
        set("HOME", root_);
        for (const auto& [variable, folder] : {std::pair{"XDG_CONFIG_HOME", "config"},
                                               {"XDG_DATA_HOME", "data"},
                                               {"XDG_DOCUMENTS_DIR", "documents"},
                                               {"XDG_CACHE_HOME", "cache"},
                                               {"XDG_CONFIG_DIRS", "machine"}}) {
            std::error_code ignored;
            if (options.createFolders) std::filesystem::create_directories(path(folder), ignored);
            set(variable, path(folder));
        }
    }
    ~TemporaryHome() {
        for (auto it = saved_.rbegin(); restore_ && it != saved_.rend(); ++it) {
            if (it->had)
                ::setenv(it->name.c_str(), it->value.c_str(), 1);
            else
                ::unsetenv(it->name.c_str());
        }
        if (root_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    bool ok() const { return !root_.empty(); }
    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }

private:
    struct Saved {
        std::string name;
        bool had;
        std::string value;
    };
    void set(const char* name, const std::string& value) {
        const char* old = ::getenv(name);
        saved_.push_back({name, old != nullptr, old ? old : ""});
        ::setenv(name, value.c_str(), 1);
    }

    std::string root_;
    bool restore_ = false;
    std::vector<Saved> saved_;
};
