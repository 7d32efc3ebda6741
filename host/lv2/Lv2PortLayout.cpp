#include "host/lv2/Lv2PortLayout.h"

#include <fnmatch.h>

namespace {

// Name patterns ("*" stands for any text), matched against the names as constructed. The channel
// mode renames only the delays, which no pattern names.
constexpr const char* kLast[] = {"XLFO * Step *"};
constexpr const char* kNotAutomatic[] = {
    "Num Active *",
    "Slot * Source",
    "Slot * Target",
    "EG * Triggering",
    "EF * Input",
    "MIDI Source * Input",
    "MIDI Source * Controller Number",
    "XLFO * MIDI Trigger",
    "XLFO * Step * Glide function",
    "XLFO * Step * Random",
};

template <size_t N>
bool matches(const char* const (&patterns)[N], const AbstractPluginParameter& p) {
    for (const char* pattern : patterns)
        if (fnmatch(pattern, p.name().c_str(), 0) == 0) return true;
    return false;
}

}  // namespace

Lv2PortLayout::Lv2PortLayout(GenericPlugin& plugin) {
    std::vector<int> last;
    for (int i = 0; i < plugin.getParameterCount(); ++i)
        (matches(kLast, *plugin.getParameter(i)) ? last : parameters_).push_back(i);
    parameters_.insert(parameters_.end(), last.begin(), last.end());
}

bool Lv2PortLayout::notAutomatic(const AbstractPluginParameter& p) {
    return matches(kNotAutomatic, p);
}
