// The delay's own older layouts (versions 1 to 4 with their conversions and slot remapping) on the
// real plug-in: every input starts from the same state, and the loader must neither crash nor leave
// an update batch open, whatever the bytes.

#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "engine/LorimanePlugin.h"
#include "persistence/LorimanePresetLoader.h"
#include "streams/BinaryDataReader.h"

namespace {
std::string& home() {
    static std::string path;
    return path;
}

// The plug-in reads settings and presets at construction: give it an empty home of its own.
LorimanePlugin& plugin() {
    static LorimanePlugin* instance = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "lorimane-fuzz-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) std::abort();
        home() = name.data();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(home(), ignored);
        });
        for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"})
            ::setenv(variable, name.data(), 1);
        return new LorimanePlugin;  // lives for the whole run
    }();
    return *instance;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LorimanePlugin& p = plugin();
    static LorimanePresetFormats formats(p, p, {&p.xlfos, &p.egs, &p.midiSources});
    static const std::vector<float> start = p.presets().allParameters().captureValues();
    p.presets().allParameters().applyValues(start);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    BinaryDataReader reader(in);
    LorimanePresetLoader(p, "BLms", formats).load(reader, -1);
    for (int i = 0; i < p.getParameterCount(); ++i) {
        AbstractPluginParameter* q = p.getParameter(i);
        if (!(q->value() >= q->minValue() && q->value() <= q->maxValue())) std::abort();  // also NaN
    }
    return 0;
}
