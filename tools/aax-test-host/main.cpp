// aax-test-host LIBRARY: loads a plug-in library as a host would, prints its description in a
// stable text form, then renders a second of a test tone through every variant and checks that its
// saved state restores into a fresh instance.
#include <cmath>
#include <cstdio>
#include <vector>

#include "AaxTestHost.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: aax-test-host LIBRARY\n");
        return 2;
    }
    std::string error;
    auto host = AaxTestHost::load(argv[1], error);
    if (!host) {
        std::fprintf(stderr, "aax-test-host: %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    if (AAX_Result r = host->describe()) {
        std::fprintf(stderr, "aax-test-host: description failed with %d\n", r);
        return 2;
    }
    std::fputs(host->descriptionText().c_str(), stdout);

    const int n = 512, blocks = 94;
    for (size_t e = 0; e < host->collection().effects().size(); ++e) {
        auto instance = host->createInstance(e, 48000.0f, error);
        if (!instance) {
            std::fprintf(stderr, "aax-test-host: %s\n", error.c_str());
            return 2;
        }
        std::vector<std::vector<float>> in(instance->inputChannels(), std::vector<float>(n)), out(2, std::vector<float>(n));
        std::vector<const float*> ins;
        for (auto& c : in) ins.push_back(c.data());
        float* outs[2] = {out[0].data(), out[1].data()};
        float peak = 0.0f;
        for (int b = 0; b < blocks; ++b) {
            for (int i = 0; i < n; ++i)
                for (auto& c : in) c[i] = 0.5f * std::sin(2.0f * 3.14159265f * 440.0f * (b * n + i) / 48000.0f);
            instance->render(ins.data(), outs, n);
            for (auto& c : out)
                for (float s : c) peak = std::max(peak, std::fabs(s));
        }
        AAX_Result r;
        auto chunks = instance->saveChunks(r);
        auto fresh = host->createInstance(e, 48000.0f, error);
        bool restored = r == AAX_SUCCESS && fresh && fresh->restoreChunks(chunks) == AAX_SUCCESS;
        bool equal = restored;
        for (const auto& c : chunks) {
            bool same = false;
            if (restored) fresh->effect().CompareActiveChunk(c, same);
            equal = equal && same;
        }
        std::printf("%s: rendered %d samples, peak %.4f, %zu chunks, restore %s\n", host->collection().effects()[e].first.c_str(),
                    n * blocks, peak, chunks.size(), equal ? "equal" : "DIFFERS");
        if (!equal) return 1;
    }
    return 0;
}
