#pragma once

#include <string>

class LorimanePlugin;

// Reading and writing the plug-in's preset files from the command-line tools: a full preset or a
// component preset of any version the plug-in reads, told apart by the extension and, failing that,
// by the header. UI thread (the tool's only thread).
struct PresetFileHeader {
    std::string tag;
    int version = 0;
    int count = 0;
};

// The first 12 bytes: tag, version and value count. False with a message when they are not there.
bool readPresetHeader(const std::string& path, PresetFileHeader& header, std::string& error);

// The component kind a file addresses (LorimanePlugin::ComponentKind), or -1 for a full preset: a
// component extension decides; otherwise a "BLms" version 1 file whose count is the size of exactly
// one kind's collection is a component preset of that kind.
int presetKindOf(const LorimanePlugin& plugin, const std::string& path, const PresetFileHeader* header);

// Loads the file as a load from the preset menu converts it, except that nothing is kept from the
// current state: "Delay Freeze" and "Dry Enabled" take what the file holds. A component preset goes
// to the first instance of its kind. False with a message, and no parameter changed, on failure.
bool loadAnyPreset(LorimanePlugin& plugin, const std::string& path, int& kind, std::string& error);

// The file's bytes as saveAnyPreset writes them.
std::string presetBytes(LorimanePlugin& plugin, int kind);

// Writes the full state (kind -1) or the first instance of a kind with the current version,
// atomically. False with a message when the file could not be written.
bool saveAnyPreset(LorimanePlugin& plugin, const std::string& path, int kind, std::string& error);
