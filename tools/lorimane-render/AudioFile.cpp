#include "tools/lorimane-render/AudioFile.h"

#include <sndfile.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

struct Container {
    const char* extension;
    int major;
    bool pcm;  // takes --bits; otherwise a compressed stream with no sample size
};
constexpr Container kContainers[] = {{".wav", SF_FORMAT_WAV, true},   {".flac", SF_FORMAT_FLAC, true},
                                     {".ogg", SF_FORMAT_OGG, false},  {".aiff", SF_FORMAT_AIFF, true},
                                     {".aif", SF_FORMAT_AIFF, true},  {".caf", SF_FORMAT_CAF, true}};

const Container* containerOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (const Container& c : kContainers)
        if (strcasecmp(extension.c_str(), c.extension) == 0) return &c;
    return nullptr;
}

}  // namespace

float AudioBuffer::peak() const {
    float peak = 0.0f;
    for (const auto& channel : channels)
        for (float s : channel) peak = std::max(peak, std::fabs(s));
    return peak;
}

bool parseSampleBits(const std::string& text, SampleBits& bits) {
    if (text == "16") bits = SampleBits::Pcm16;
    else if (text == "24") bits = SampleBits::Pcm24;
    else if (text == "32f") bits = SampleBits::Float32;
    else return false;
    return true;
}

bool isWritableAudioName(const std::string& path) { return containerOf(path) != nullptr; }

bool audioFormatFor(const std::string& path, SampleBits bits, int& format, std::string& error) {
    const Container* container = containerOf(path);
    if (!container) {
        error = "cannot tell the format of '" + path + "' from its name: use .wav, .flac, .ogg, .aiff or .caf";
        return false;
    }
    if (!container->pcm) {
        if (bits != SampleBits::Default) {
            error = "--bits does not apply to Ogg Vorbis ('" + path + "')";
            return false;
        }
        format = container->major | SF_FORMAT_VORBIS;
        return true;
    }
    if (bits == SampleBits::Float32 && container->major == SF_FORMAT_FLAC) {
        error = "FLAC holds no float samples: use --bits 16 or 24 for '" + path + "'";
        return false;
    }
    int subtype = bits == SampleBits::Pcm16 ? SF_FORMAT_PCM_16 : bits == SampleBits::Float32 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_24;
    format = container->major | subtype;
    return true;
}

bool readAudioFile(const std::string& path, AudioBuffer& audio, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.frames < 0 || info.samplerate <= 0) {
        sf_close(file);
        error = "cannot read '" + path + "': no audio in it";
        return false;
    }
    std::vector<float> interleaved(static_cast<size_t>(info.frames) * info.channels);
    sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    audio.sampleRate = info.samplerate;
    audio.channels.assign(info.channels, std::vector<float>(static_cast<size_t>(got)));
    for (sf_count_t i = 0; i < got; ++i)
        for (int c = 0; c < info.channels; ++c) audio.channels[c][i] = interleaved[i * info.channels + c];
    return true;
}

bool writeAudioFile(const std::string& path, const AudioBuffer& audio, SampleBits bits, bool& clipped,
                    std::string& error) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = static_cast<int>(audio.channels.size());
    if (!audioFormatFor(path, bits, info.format, error)) return false;
    const bool fixedPoint = (info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT &&
                            (info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_VORBIS;
    std::string temporary = path + ".part";
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    size_t frames = audio.frames();
    std::vector<float> interleaved(frames * info.channels);
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < info.channels; ++c) interleaved[i * info.channels + c] = audio.channels[c][i];
    clipped = false;
    if (fixedPoint) {
        // Full scale is the largest integer sample; beyond it integers would wrap around.
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
        for (float& s : interleaved) {
            float limited = std::clamp(s, -1.0f, 1.0f);
            clipped = clipped || limited != s;
            s = limited;
        }
    }
    sf_count_t written = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
    bool ok = sf_close(file) == 0 && written == static_cast<sf_count_t>(frames);
    std::error_code ec;
    if (ok) std::filesystem::rename(temporary, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(temporary, ec);
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

bool writeAudioFile(const std::string& path, const AudioBuffer& audio, std::string& error) {
    const Container* container = containerOf(path);
    SampleBits bits = container && container->pcm && container->major != SF_FORMAT_FLAC ? SampleBits::Float32 : SampleBits::Default;
    bool clipped = false;
    return writeAudioFile(path, audio, bits, clipped, error);
}
