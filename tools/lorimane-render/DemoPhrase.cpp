#include "tools/lorimane-render/DemoPhrase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A plucked string: a delay line of one period filled with noise and averaged as it recirculates.
void pluck(std::vector<float>& out, size_t start, double frequency, double sampleRate, float level, uint32_t& seed) {
    size_t period = static_cast<size_t>(sampleRate / frequency);
    if (period < 2) return;
    std::vector<float> ring(period);
    for (float& s : ring) {
        seed = seed * 1664525u + 1013904223u;
        s = ((seed >> 8) / 8388608.0f - 1.0f) * level;
    }
    size_t length = static_cast<size_t>(sampleRate * 1.2);
    for (size_t i = 0; i < length && start + i < out.size(); ++i) {
        size_t k = i % period;
        float next = ring[(k + 1) % period];
        out[start + i] += ring[k];
        ring[k] = 0.996f * 0.5f * (ring[k] + next);
    }
}

// A drum: a sine sweeping down from 160 Hz with a fast decay.
void drum(std::vector<float>& out, size_t start, double sampleRate) {
    const double pi = std::acos(-1.0);
    double phase = 0.0;
    size_t length = static_cast<size_t>(sampleRate * 0.4);
    for (size_t i = 0; i < length && start + i < out.size(); ++i) {
        double t = i / sampleRate;
        double f = 45.0 + 115.0 * std::exp(-t * 30.0);
        phase += 2 * pi * f / sampleRate;
        out[start + i] += static_cast<float>(0.8 * std::exp(-t * 9.0) * std::sin(phase));
    }
}

}  // namespace

AudioBuffer makeDemoPhrase(double sampleRate) {
    AudioBuffer audio;
    audio.sampleRate = sampleRate;
    size_t length = static_cast<size_t>(sampleRate * 4.0);
    audio.channels.assign(2, std::vector<float>(length, 0.0f));
    uint32_t seed = 12345;
    struct Note {
        double time, frequency;
        float left, right;
    };
    // A short arpeggio, panned a little left and right, then a drum hit.
    const Note notes[] = {{0.0, 220.0, 0.5f, 0.3f}, {0.5, 277.18, 0.3f, 0.5f}, {1.0, 329.63, 0.5f, 0.3f},
                          {1.5, 440.0, 0.3f, 0.5f}};
    for (const Note& n : notes) {
        size_t start = static_cast<size_t>(n.time * sampleRate);
        uint32_t s = seed;
        pluck(audio.channels[0], start, n.frequency, sampleRate, n.left, s);
        s = seed;
        pluck(audio.channels[1], start, n.frequency, sampleRate, n.right, s);
        seed = s;
    }
    for (auto& channel : audio.channels) drum(channel, static_cast<size_t>(2.5 * sampleRate), sampleRate);

    // Leave 6 dB of headroom, so that the echoes added on top of the phrase stay clear of full scale.
    float peak = 0.0f;
    for (const auto& channel : audio.channels)
        for (float s : channel) peak = std::max(peak, std::fabs(s));
    if (peak > 0.0f) {
        const float gain = kDemoPhrasePeak / peak;
        for (auto& channel : audio.channels)
            for (float& s : channel) s *= gain;
    }
    return audio;
}
