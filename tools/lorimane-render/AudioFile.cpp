#include "tools/lorimane-render/AudioFile.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>

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

bool writeAudioFile(const std::string& path, const AudioBuffer& audio, std::string& error) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = static_cast<int>(audio.channels.size());
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
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
