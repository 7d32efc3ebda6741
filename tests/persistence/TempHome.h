#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A fresh HOME with its own XDG folders for one test: the environment variables point into a new
// temporary directory while the object lives and are restored afterwards, so no test ever touches
// the real configuration, documents or data folders.
class TempHome {
public:
    TempHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lorimane-home-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        root_ = ::mkdtemp(name.data());
        set("HOME", root_);
        set("XDG_CONFIG_HOME", root_ + "/config");
        set("XDG_DATA_HOME", root_ + "/data");
        set("XDG_DOCUMENTS_DIR", root_ + "/documents");
        set("XDG_CONFIG_DIRS", root_ + "/machine");
    }
    ~TempHome() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->had)
                ::setenv(it->name.c_str(), it->value.c_str(), 1);
            else
                ::unsetenv(it->name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }

    static void writeFile(const std::string& path, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

private:
    struct Saved {
        std::string name;
        bool had;
        std::string value;
    };
    void set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old != nullptr, old ? old : ""});
        ::setenv(name, value.c_str(), 1);
    }

    std::string root_;
    std::vector<Saved> saved_;
};
