#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "persistence/TemporaryHome.h"

// A fresh HOME with its own XDG folders for one test, so that no test ever touches the real
// configuration, documents or data folders; with helpers to write and read the files of a test.
class TempHome : public TemporaryHome {
public:
    TempHome() : TemporaryHome("lorimane-home", {.restore = true}) {}

    static void writeFile(const std::string& path, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};
