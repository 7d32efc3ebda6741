// Cost of the plug-in frame per host block: the pass-through plug-in (sub-blocks, parameter and MIDI
// queues, bypass processor, two channels of input, ramped gain) against a plain copy of the same
// buffers measured in the same run. Compare the per_sample counters of the two rows per block size.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "framework/PassThroughPlugin.h"

namespace {

struct Buffers {
    explicit Buffers(int n) : in(2, std::vector<float>(n, 0.25f)), out(2, std::vector<float>(n)) {
        for (int c = 0; c < 2; ++c) {
            ins[c] = in[c].data();
            outs[c] = out[c].data();
        }
    }
    std::vector<std::vector<float>> in, out;
    const float* ins[2];
    float* outs[2];
};

// Seconds per stereo sample, shown with an SI prefix (e.g. "1.1n" = 1.1 ns).
void setCounters(benchmark::State& state, int n) {
    state.counters["per_sample"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void FrameProcess(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    PassThroughPlugin plugin;
    plugin.setSampleRate(48000.0f);
    Buffers b(n);
    for (auto _ : state) {
        plugin.setBypass(false);
        plugin.setTransport(120.0, 0.0f);
        plugin.process(b.ins, 2, b.outs, 2, n);
        benchmark::DoNotOptimize(b.out[0][0]);
    }
    setCounters(state, n);
}

void ReferenceCopy(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    Buffers b(n);
    for (auto _ : state) {
        for (int c = 0; c < 2; ++c) std::memcpy(b.outs[c], b.ins[c], sizeof(float) * n);
        benchmark::DoNotOptimize(b.out[0][0]);
        benchmark::ClobberMemory();
    }
    setCounters(state, n);
}

}  // namespace

BENCHMARK(FrameProcess)->Arg(32)->Arg(128)->Arg(512)->Arg(4096);
BENCHMARK(ReferenceCopy)->Arg(32)->Arg(128)->Arg(512)->Arg(4096);
