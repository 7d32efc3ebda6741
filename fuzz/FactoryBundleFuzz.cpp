// The factory-content bundle, unpacked with overwrite into a scratch folder that only this process
// uses. Whatever the input, nothing may be written outside that folder.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "persistence/FactoryBundle.h"

namespace {
struct Scratch {
    std::filesystem::path root;
    Scratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lorimane-bundle-fuzz-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    std::error_code ignored;
    std::filesystem::remove_all(scratch.root / "inside", ignored);
    std::filesystem::remove_all(scratch.root / "escaped", ignored);
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const char* top : {"FactoryPresets", "ApplicationData"})
        FactoryBundle(bytes).unpackDirectory(top, (scratch.root / "inside" / "dest").string(), true);
    // Names are single components, so nothing can land beside the destination.
    for (const auto& e : std::filesystem::directory_iterator(scratch.root / "inside", ignored))
        if (e.path().filename() != "dest") std::abort();
    return 0;
}
