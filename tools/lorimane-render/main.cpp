// lorimane-render: renders audio through the plug-in from the command line.
// Without arguments it renders its built-in job: two seconds of a generated test signal (a decaying
// 440 Hz tone on the left, 660 Hz on the right) through the plug-in frame in host blocks of 512
// samples at 48 kHz, and prints the peak and length of the result.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/PassThroughPlugin.h"

namespace {

constexpr float kSampleRate = 48000.0f;
constexpr int kHostBlock = 512;
constexpr int kLength = 2 * 48000;

std::vector<std::vector<float>> makeTestSignal() {
    std::vector<std::vector<float>> signal(2, std::vector<float>(kLength));
    const double pi = std::acos(-1.0);
    for (int i = 0; i < kLength; ++i) {
        double t = i / static_cast<double>(kSampleRate);
        double envelope = 0.8 * std::exp(-3.0 * t);
        signal[0][i] = static_cast<float>(envelope * std::sin(2 * pi * 440.0 * t));
        signal[1][i] = static_cast<float>(envelope * std::sin(2 * pi * 660.0 * t));
    }
    return signal;
}

int usage() {
    std::fprintf(stderr, "usage: lorimane-render\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::fprintf(stderr, "lorimane-render: unexpected argument '%s'\n", argv[1]);
        return usage();
    }
    std::vector<std::vector<float>> input = makeTestSignal();
    std::vector<std::vector<float>> output(2, std::vector<float>(kLength));

    PassThroughPlugin plugin;
    plugin.setSampleRate(kSampleRate);
    plugin.setTransport(120.0, 0.0f);
    for (int pos = 0; pos < kLength; pos += kHostBlock) {
        int n = std::min(kHostBlock, kLength - pos);
        const float* in[2] = {input[0].data() + pos, input[1].data() + pos};
        float* out[2] = {output[0].data() + pos, output[1].data() + pos};
        plugin.setBypass(false);
        plugin.setTransport(120.0, 0.0f);
        plugin.process(in, 2, out, 2, n);
    }

    float peak = 0.0f;
    for (const auto& channel : output)
        for (float s : channel) peak = std::max(peak, std::fabs(s));
    double peakDb = peak > 0.0f ? 20.0 * std::log10(peak) : -INFINITY;
    std::printf("rendered %d samples (%.3f s) at %.0f Hz, 2 channels, peak %.6f (%.2f dBFS)\n", kLength,
                kLength / kSampleRate, kSampleRate, peak, peakDb);
    return 0;
}
