#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// A preset map: how the values of an older version of a preset layout reach the current
// parameters. Tag "PMap", a version (not interpreted), newCount, oldCount, then oldCount int32 (the
// current parameter receiving old position i, or -1 when the value is dropped) and the current
// parameters the old layout does not carry (newCount - mapped of them).
struct PresetMap {
    std::vector<std::int32_t> map;
    std::vector<std::int32_t> uncovered;

    // The embedded resource for files of that tag and version: "PresetMap_BLms_4.bxpresetmap".
    static std::string resourceName(const std::string& tag, int version);

    // Reads and checks a map against the current parameter count: both counts positive, newCount
    // equal to parameterCount, every index inside the table and every current parameter reached
    // exactly once (mapped or uncovered). False, with the map untouched, otherwise.
    bool read(std::istream& in, int parameterCount);
};
