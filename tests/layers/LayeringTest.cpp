// Keeps the folders in the order of the layers: every include line of every source file may name
// a header of its own folder or of a folder below it, never one above. The order is the subsystem
// list of the top CMakeLists (lowest first), passed in by the build, so it is written once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "TemporaryFolder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::stringstream in(list);
    for (std::string item; in >> item;) items.push_back(item);
    return items;
}

// The rank of the layer a path lies in: the longest layer folder it starts with, -1 for none.
int layerOf(const std::string& path, const std::vector<std::string>& layers) {
    int rank = -1;
    size_t longest = 0;
    for (size_t i = 0; i < layers.size(); ++i) {
        const std::string& folder = layers[i];
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/' && folder.size() > longest) {
            rank = static_cast<int>(i);
            longest = folder.size();
        }
    }
    return rank;
}

// One line per upward include below root: "file:line: includes HEADER (layer X is above layer Y)".
std::vector<std::string> upwardIncludes(const fs::path& root, const std::vector<std::string>& layers) {
    static const std::regex include(R"(^\s*#\s*include\s*["<]([^">]+)[">])");
    std::vector<std::string> found;
    std::vector<std::string> files;
    for (const std::string& layer : layers) {
        fs::path folder = root / layer;
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp" || ext == ".hpp"))
                files.push_back(fs::relative(entry.path(), root).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    for (const std::string& file : files) {
        int from = layerOf(file, layers);
        std::ifstream in(root / file);
        std::string text;
        for (int number = 1; std::getline(in, text); ++number) {
            std::smatch match;
            if (!std::regex_search(text, match, include)) continue;
            int to = layerOf(match[1].str(), layers);
            if (to > from)
                found.push_back(file + ":" + std::to_string(number) + ": includes " + match[1].str() + " (" +
                                layers[size_t(to)] + "/ lies above " + layers[size_t(from)] + "/)");
        }
    }
    return found;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(Layering, NoFolderIncludesAFolderAboveIt) {
    std::vector<std::string> layers = splitList(LORIMANE_LAYERS);
    ASSERT_GT(layers.size(), 3u);
    std::vector<std::string> upward = upwardIncludes(LORIMANE_SOURCE_DIR, layers);
    EXPECT_TRUE(upward.empty()) << "Upward includes (the order of the layers is LORIMANE_SUBSYSTEMS in "
                                   "the top CMakeLists.txt):\n"
                                << joined(upward);
}

// The check itself, on a small tree: it names the file and line of an upward include, takes the
// deepest layer folder a path lies in, and lets a folder include itself and the folders below.
TEST(Layering, NamesFileAndLineOfAnUpwardInclude) {
    TemporaryFolder root;
    auto write = [&](const std::string& path, const std::string& text) {
        fs::create_directories((fs::path(root.path()) / path).parent_path());
        std::ofstream(fs::path(root.path()) / path) << text;
    };
    write("low/A.h", "#pragma once\n#include <vector>\n");
    write("low/sub/B.cpp", "#include \"low/A.h\"\n\n  #  include \"high/C.h\"\n");
    write("high/C.h", "#include \"low/sub/B.h\"\n#include \"high/D.h\"\n#include \"elsewhere/E.h\"\n");
    write("high/inner/D.h", "#include \"high/C.h\"\n");
    write("high/inner/F.cpp", "#include \"high/C.h\"\n");
    std::vector<std::string> upward = upwardIncludes(root.path(), {"low", "high/inner", "high"});
    EXPECT_EQ(joined(upward),
              "high/inner/D.h:1: includes high/C.h (high/ lies above high/inner/)\n"
              "high/inner/F.cpp:1: includes high/C.h (high/ lies above high/inner/)\n"
              "low/sub/B.cpp:3: includes high/C.h (high/ lies above low/)\n");
}

}  // namespace
