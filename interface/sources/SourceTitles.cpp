#include "interface/sources/SourceTitles.h"

#include "interface/sources/SourceLayout.h"

namespace sourcetitles {

std::string shortName(int kind) {
    switch (kind) {
        case SourceLayout::XYKind: return "XY";
        case SourceLayout::XLFOKind: return "XLFO";
        case SourceLayout::EGKind: return "EG";
        case SourceLayout::EFKind: return "EF";
        case SourceLayout::MidiKind: return "MIDI";
        default: return {};
    }
}

std::string title(int kind, int set) {
    return shortName(kind) + " " + std::to_string(set + 1);
}

// The name prefix is the short name and a space, so the display name reads like the title.
std::string displayName(int kind, int set) {
    return title(kind, set);
}

std::string midiDisplayName(const std::string& inputText, bool controllerInput, int controllerNumber,
                            const std::string& setShortName) {
    const std::string what = controllerInput ? std::to_string(controllerNumber) : inputText;
    return what + " (" + setShortName + ")";
}

}  // namespace sourcetitles
