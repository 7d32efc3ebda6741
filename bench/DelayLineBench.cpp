// Cost of the delay line per sample: constant delay (block copies), a moving delay read as Tape (glide
// and interpolation), the same read as Stretch, and Stretch at a constant delay once its grains
// settled. Compare the scenarios of one run with each other.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "wave/DelayLine.h"
#include "wave/Environment.h"

namespace {

constexpr int kBlock = 128;
constexpr float kRate = 48000.0f;

// Loops a precomputed signal, one block per pull.
class LoopSource : public wave::Source {
public:
    LoopSource(wave::Environment& env, std::vector<float> samples)
        : wave::Source(env), samples_(std::move(samples)) {}
    void produce(SampleBuffer& output, int count, int) override {
        if (position_ + count > static_cast<long>(samples_.size())) position_ = 0;
        std::memcpy(output.samples(), samples_.data() + position_, sizeof(float) * count);
        position_ += count;
        setOutputFlags(0);
    }

private:
    std::vector<float> samples_;
    long position_ = 0;
};

std::vector<float> noise() {
    std::vector<float> v(kBlock * 1024);
    unsigned state = 12345;
    for (float& x : v) {
        state = state * 1664525u + 1013904223u;
        x = static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
    }
    return v;
}

// A delay time sweeping between 100 and 150 ms twice a second.
std::vector<float> sweep() {
    std::vector<float> v(24000);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = 125.0f + 25.0f * static_cast<float>(std::sin(2.0 * std::numbers::pi * i / v.size()));
    return v;
}

void runDelay(benchmark::State& state, DelayLine::ReadType type, bool moving) {
    wave::Environment env(kBlock);
    env.setSampleRate(kRate);
    LoopSource input(env, noise());
    LoopSource time(env, sweep());
    DelayLine delay(env);
    delay.setInput(&input);
    delay.readType = type;
    delay.delayTimeSource().value().jumpTo(100.0f);
    if (moving) delay.setDelayTime(&time);
    // Fill the ring for the longest delay and let the grains settle.
    for (int i = 0; i < 400; ++i) {
        env.advanceCycle();
        delay.pull(kBlock, 0);
        env.process(kBlock, 0);
    }
    for (auto _ : state) {
        env.advanceCycle();
        benchmark::DoNotOptimize(delay.pull(kBlock, 0));
        env.process(kBlock, 0);
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    // Seconds per sample, printed with its SI prefix (n for nanoseconds).
    state.counters["time_per_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kBlock),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["block_copies"] = delay.lastReadPath() == DelayLine::ReadPath::BlockCopy;
}

void BM_DelayLineConstant(benchmark::State& state) {
    runDelay(state, DelayLine::Tape, false);
}
void BM_DelayLineGliding(benchmark::State& state) {
    runDelay(state, DelayLine::Tape, true);
}
void BM_DelayLineStretch(benchmark::State& state) {
    runDelay(state, DelayLine::Stretch, true);
}
void BM_DelayLineStretchSettled(benchmark::State& state) {
    runDelay(state, DelayLine::Stretch, false);
}

}  // namespace

BENCHMARK(BM_DelayLineConstant);
BENCHMARK(BM_DelayLineGliding);
BENCHMARK(BM_DelayLineStretch);
BENCHMARK(BM_DelayLineStretchSettled);
