#include "persistence/PresetMap.h"

#include "streams/BinaryDataReader.h"

std::string PresetMap::resourceName(const std::string& tag, int version) {
    return "PresetMap_" + tag + "_" + std::to_string(version) + ".bxpresetmap";
}

bool PresetMap::read(std::istream& in, int parameterCount) {
    BinaryDataReader reader(in);
    if (reader.readHeader() != "PMap") return false;
    std::int32_t newCount = reader.readInt32();
    std::int32_t oldCount = reader.readInt32();
    if (!reader.ok() || newCount <= 0 || oldCount <= 0 || newCount != parameterCount) return false;
    // Each old position and each current parameter costs four bytes of the map; a claim beyond
    // any real layout is refused before allocating for it.
    constexpr std::int32_t kMaxCount = 1 << 16;
    if (oldCount > kMaxCount || newCount > kMaxCount) return false;

    std::vector<std::int32_t> m(static_cast<std::size_t>(oldCount));
    std::vector<char> reached(static_cast<std::size_t>(newCount), 0);
    int mapped = 0;
    for (std::int32_t& target : m) {
        target = reader.readInt32();
        if (!reader.ok()) return false;
        if (target == -1) continue;
        if (target < 0 || target >= newCount || reached[static_cast<std::size_t>(target)]) return false;
        reached[static_cast<std::size_t>(target)] = 1;
        ++mapped;
    }
    std::vector<std::int32_t> u(static_cast<std::size_t>(newCount - mapped));
    for (std::int32_t& index : u) {
        index = reader.readInt32();
        if (!reader.ok() || index < 0 || index >= newCount || reached[static_cast<std::size_t>(index)])
            return false;
        reached[static_cast<std::size_t>(index)] = 1;
    }
    map = std::move(m);
    uncovered = std::move(u);
    return true;
}
