#pragma once

#include <string>
#include <vector>

// Audio in memory: one sample vector per channel, all of the same length.
struct AudioBuffer {
    std::vector<std::vector<float>> channels;
    double sampleRate = 48000.0;
    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
    // The largest sample magnitude of all channels.
    float peak() const;
};

// The sample format of a written file: Default is 24-bit for the PCM formats (WAV, AIFF, CAF, FLAC).
enum class SampleBits { Default, Pcm16, Pcm24, Float32 };

// "16", "24" or "32f"; false for anything else.
bool parseSampleBits(const std::string& text, SampleBits& bits);

// The container and sample format for a file name (.wav, .flac, .ogg, .aiff or .aif, .caf, in any
// case): a libsndfile format. False with a message for another name or for bits the container
// cannot hold (FLAC has no float samples, Ogg Vorbis has no sample size).
bool audioFormatFor(const std::string& path, SampleBits bits, int& format, std::string& error);
// True when the name ends in an extension audioFormatFor knows.
bool isWritableAudioName(const std::string& path);

// Reads any file libsndfile reads; false with a message when it cannot.
bool readAudioFile(const std::string& path, AudioBuffer& audio, std::string& error);

// Writes the channels in the format the file name asks for, through a temporary file renamed into
// place, so a failure never leaves a partial file behind. Fixed-point samples beyond full scale are
// clipped (never wrapped); `clipped` tells whether that happened.
bool writeAudioFile(const std::string& path, const AudioBuffer& audio, SampleBits bits, bool& clipped,
                    std::string& error);
// The same with float samples where the container has them (WAV, AIFF, CAF): an exact copy.
bool writeAudioFile(const std::string& path, const AudioBuffer& audio, std::string& error);
