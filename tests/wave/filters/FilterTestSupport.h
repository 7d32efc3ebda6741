#pragma once

// Small graph pieces and a response measurement shared by the filter tests.

#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "AudioThreadGuard.h"
#include "wave/Environment.h"
#include "wave/Producer.h"

namespace filtertest {

// Nothing allocated or locked while the guard was alive.
inline void expectRealTimeSafe(const AudioThreadGuard& guard) {
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
}

// A source that publishes whatever block the test put into it.
class BlockSource : public wave::Source {
public:
    explicit BlockSource(wave::Environment& environment, float value = 0.0f)
        : wave::Source(environment), block(environment.maxBlockLength(), value) {}

    void fill(float value) {
        std::fill(block.begin(), block.end(), value);
        constant = true;
    }
    void produce(SampleBuffer& output, int count, int) override {
        std::memcpy(output.samples(), block.data(), sizeof(float) * count);
        setOutputFlags(constant ? wave::ConstantBlock : 0);
    }

    std::vector<float> block;
    bool constant = true;
};

// Runs one cycle of the environment.
inline void cycle(wave::Environment& env, int count) {
    env.advanceCycle();
    env.process(count, 0);
}

// Feeds a sine of the given frequency through a graph and answers the gain in dB measured over
// whole periods after the filter has settled. setInput writes the next block of input samples;
// pullOutput pulls the filter, which must neither allocate nor lock, and answers its output.
inline double measureGainDb(wave::Environment& env, double frequency, double amplitude,
                            const std::function<void(const float*, int)>& setInput,
                            const std::function<const float*(int)>& pullOutput) {
    const int block = env.maxBlockLength();
    const double fs = env.sampleRate();
    const int settle = static_cast<int>(fs * 0.25);
    const int measure = static_cast<int>(fs * 0.25);
    std::vector<float> in(block);
    double phase = 0.0;
    const double step = 2.0 * std::numbers::pi * frequency / fs;
    double inEnergy = 0.0, outEnergy = 0.0;
    for (int done = 0; done < settle + measure; done += block) {
        for (int i = 0; i < block; ++i) {
            in[i] = static_cast<float>(amplitude * std::sin(phase));
            phase += step;
        }
        setInput(in.data(), block);
        env.advanceCycle();
        const float* out;
        {
            AudioThreadGuard guard;
            out = pullOutput(block);
            expectRealTimeSafe(guard);
        }
        env.process(block, 0);
        if (done >= settle) {
            for (int i = 0; i < block; ++i) {
                inEnergy += double(in[i]) * in[i];
                outEnergy += double(out[i]) * out[i];
            }
        }
    }
    return 10.0 * std::log10(outEnergy / inEnergy);
}

}  // namespace filtertest
