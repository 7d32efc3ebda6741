#pragma once

#include <string>

#include "tools/lorimane-render/AudioFile.h"

// Draws the input and output waveforms as a PNG: the title above, one lane per channel with a level
// scale in dBFS at its left, the input in grey behind the output, and a time axis in seconds below.
// Written through a temporary file renamed into place.
bool writeWaveformPlot(const std::string& path, const std::string& title, const AudioBuffer& input, const AudioBuffer& output,
                       std::string& error);
