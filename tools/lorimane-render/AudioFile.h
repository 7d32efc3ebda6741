#pragma once

#include <string>
#include <vector>

// Audio in memory: one sample vector per channel, all of the same length.
struct AudioBuffer {
    std::vector<std::vector<float>> channels;
    double sampleRate = 48000.0;
    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Reads any file libsndfile reads; false with a message when it cannot.
bool readAudioFile(const std::string& path, AudioBuffer& audio, std::string& error);
// Writes a 32-bit float WAV of the channels, through a temporary file renamed into place, so a
// failure never leaves a partial file behind.
bool writeAudioFile(const std::string& path, const AudioBuffer& audio, std::string& error);
