// lorimane-lv2-turtle BUNDLE BINARY: writes manifest.ttl and lorimane.ttl of the LV2 bundle from
// the plug-in's parameter list.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/lv2/Lv2Turtle.h"
#include "product/ProductPlugin.h"
#include "tools/lorimane-preset/ToolHome.h"

namespace {
bool writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::path temporary = path.string() + ".part";
    {
        std::ofstream out(temporary, std::ios::binary);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    return !ec;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lorimane-lv2-turtle BUNDLE BINARY\n");
        return 2;
    }
    std::filesystem::path bundle = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(bundle, ec);
    // Describing the plug-in must not touch the builder's settings or presets.
    ToolHome home;
    auto plugin = makeProductPlugin();
    if (!writeFile(bundle / "manifest.ttl", lv2turtle::manifest(argv[2])) ||
        !writeFile(bundle / "lorimane.ttl", lv2turtle::pluginDescription(*plugin))) {
        std::fprintf(stderr, "lorimane-lv2-turtle: cannot write into %s\n", argv[1]);
        return 2;
    }
    return 0;
}
