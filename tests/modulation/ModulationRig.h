#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "AudioThreadGuard.h"
#include "wave/Environment.h"
#include "wave/Producer.h"

// Runs processing cycles as the plug-in frame does (start the cycle, pull, closing pass) under the
// audio-thread guard, and collects the pulled producer's output. `beforeBlock(done, n)` runs at the
// start of each block (transport, MIDI); `pull` false leaves the producer to the closing pass.
template <typename BeforeBlock>
void runBlocks(wave::Environment& env, wave::Producer& producer, int total, int block,
               std::vector<float>& out, BeforeBlock beforeBlock, bool pull = true) {
    out.reserve(out.size() + total);
    AudioThreadGuard guard;
    for (int done = 0; done < total; done += block) {
        int n = std::min(block, total - done);
        beforeBlock(done, n);
        env.advanceCycle();
        if (pull) {
            const float* s = producer.pull(n, 0);
            out.insert(out.end(), s, s + n);
        }
        env.process(n, 0);
    }
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
}

// Runs f as the audio thread would (parameter changes, MIDI, transport) and proves that it
// neither allocates nor locks.
template <typename F>
void onAudioThread(F f) {
    AudioThreadGuard guard;
    f();
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
}

inline std::vector<float> runBlocks(wave::Environment& env, wave::Producer& producer, int total,
                                    int block = 128) {
    std::vector<float> out;
    runBlocks(env, producer, total, block, out, [](int, int) {});
    return out;
}

// Positions at which the signal changes by more than `tolerance` from one sample to the next.
inline std::vector<int> changePositions(const std::vector<float>& s, float tolerance = 1e-6f) {
    std::vector<int> positions;
    for (size_t i = 1; i < s.size(); ++i)
        if (std::abs(s[i] - s[i - 1]) > tolerance) positions.push_back(static_cast<int>(i));
    return positions;
}

// A source whose sample n (counted over its whole life) is f(n); counts its produce calls.
class ScriptedSource : public wave::Source {
public:
    ScriptedSource(wave::Environment& env, std::function<float(long)> f)
        : wave::Source(env), f_(std::move(f)) {}
    void produce(SampleBuffer& out, int count, int) override {
        ++calls;
        for (int i = 0; i < count; ++i) out[i] = f_(position_ + i);
        position_ += count;
        setOutputFlags(0);
    }
    int calls = 0;

private:
    std::function<float(long)> f_;
    long position_ = 0;
};
