// Full presets: the current layout, a preset map for an older version, and a predecessor layout
// with capture slots, all fed the same bytes.

#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "FuzzParameters.h"
#include "persistence/CustomPresetLoader.h"
#include "persistence/LorimanePresetLoader.h"

namespace {
// The first bytes of the input double as a preset map for version 4.
class MapFromInput : public CustomPresetLoader {
public:
    MapFromInput(GenericParameterOwner& target, std::string map)
        : CustomPresetLoader(target, "BLms", 5), map_(std::move(map)) {}

protected:
    std::unique_ptr<std::istream> openPresetMap(const std::string&, int) override {
        return std::make_unique<std::istringstream>(map_);
    }

private:
    std::string map_;
};

class Formats : public OlderPresetFormats {
public:
    bool layout(int version, Layout& layout) const override {
        if (version == 1)
            layout = {"BDel", {0, capture(0), kDropped, capture(1), 3}};
        else if (version == 3)
            layout = {"BLms", allParametersExcept(16, 15)};
        else
            return false;
        return true;
    }
    int captureCount() const override { return 2; }
    void finishLoad(int, std::span<const float> c) override { sum = c[0] + c[1]; }
    float sum = 0.0f;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzParameters parameters(16);
    std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(bytes);
        BinaryDataReader reader(in);
        CustomPresetLoader(parameters, "BLms", 5).load(reader, -1);
    }
    {
        std::istringstream in(bytes);
        BinaryDataReader reader(in);
        MapFromInput(parameters, bytes).load(reader, -1);
    }
    {
        Formats formats;
        std::istringstream in(bytes);
        BinaryDataReader reader(in);
        LorimanePresetLoader(parameters, "BLms", formats).load(reader, -1);
    }
    if (parameters.depth() != 0) std::abort();  // every batch opened was closed
    return 0;
}
