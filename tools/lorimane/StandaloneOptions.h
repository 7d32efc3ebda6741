#pragma once

#include <string>
#include <vector>

// The application's command line:
//   lorimane [--name CLIENT] [--preset NAME|FILE] [--fresh] [--tempo BPM] [--connect] [--no-editor]
struct StandaloneOptions {
    std::string clientName = "lorimane";
    std::string preset;       // a preset file, or a preset of the preset folder by name
    double tempo = 120.0;     // without a JACK timebase master
    bool connect = false;     // to the first physical capture and playback ports
    bool editor = true;
    bool fresh = false;       // "Default Setting" instead of the last state
    bool help = false;
};

// Parses the arguments (without the program name); false with a one-line message when wrong.
bool parseStandaloneOptions(const std::vector<std::string>& args, StandaloneOptions& options, std::string& error);

extern const char* const kStandaloneUsage;
