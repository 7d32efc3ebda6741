// The MIDI controller map: a load either fails with the map unchanged or leaves a map that keeps
// its invariant (no parameter on two controllers).

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "persistence/MidiControllerMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MidiControllerMap map;
    map.setLimits(800, 16);
    map.assignController(1, 2);
    bool loaded = map.loadBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!loaded && map.parameterFor(1) != 2) std::abort();
    std::set<int> seen;
    for (int c = 0; c < MidiControllerMap::kControllers; ++c) {
        int p = map.parameterFor(c);
        if (p != -1 && !seen.insert(p).second) std::abort();
    }
    return 0;
}
