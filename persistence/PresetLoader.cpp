#include "persistence/PresetLoader.h"

#include <cmath>
#include <fstream>

#include "streams/BinaryFileReader.h"

bool PresetLoader::load(BinaryDataReader& reader, int requestedVersion, const std::string& tagOverride) {
    std::string tag = reader.readHeader();
    int version = reader.version;
    std::string expected = tagOverride.empty() ? expectedTag(version) : tagOverride;
    if (tag.empty() || tag != expected) return false;
    if (requestedVersion == -1 ? !acceptsVersion(version) : version != requestedVersion) return false;

    std::int32_t count = reader.readInt32();
    if (!reader.ok() || count < 0) return false;
    std::istream& in = reader.stream();
    std::streampos here = in.tellg();
    if (here != std::streampos(-1)) {
        in.seekg(0, std::ios::end);
        std::streamoff remaining = in.tellg() - here;
        in.seekg(here);
        // A count the file cannot hold is not a preset, whatever the values would have been.
        if (remaining < 0 || static_cast<std::uint64_t>(count) * 4 > static_cast<std::uint64_t>(remaining))
            return false;
    }
    int n = valueCount();
    int read = std::min<std::int64_t>(count, n);
    std::vector<float> values(static_cast<std::size_t>(std::max(read, 0)));
    for (float& v : values) v = reader.readFloat32();
    if (!reader.ok()) return false;

    target_.beginUpdate();
    prepareLoad(version);
    for (int i = 0; i < read; ++i) {
        if (std::isfinite(values[static_cast<std::size_t>(i)]))
            applyValue(i, values[static_cast<std::size_t>(i)]);
        else
            resetValue(i);
    }
    for (int i = std::max(read, 0); i < n; ++i) resetValue(i);
    finishLoad(version);
    target_.endUpdate();
    return true;
}

bool PresetLoader::loadFile(const std::string& path, int requestedVersion, const std::string& tagOverride) {
    {
        std::ifstream probe(path, std::ios::binary | std::ios::ate);
        if (!probe || probe.tellg() < 0 || static_cast<std::size_t>(probe.tellg()) > kMaxFileBytes)
            return false;
    }
    BinaryFileReader reader(path);
    return load(reader, requestedVersion, tagOverride);
}
