#pragma once

#include <string>

// The names a source panel shows: its title ("XLFO 2") and the display name on its source-bar
// button. Kinds as in SourceLayout::Kind; sets count from 0. [any]
namespace sourcetitles {

// "XY", "XLFO", "EG", "EF", "MIDI"; empty for an unknown kind.
std::string shortName(int kind);
std::string title(int kind, int set);
std::string displayName(int kind, int set);
// A MIDI source is named after what it listens to: the input's text, or the controller number
// when the input is a controller, followed by the set's short name: "Mod Wheel (MS 1)", "7 (MS 2)".
std::string midiDisplayName(const std::string& inputText, bool controllerInput, int controllerNumber,
                            const std::string& setShortName);

}  // namespace sourcetitles
