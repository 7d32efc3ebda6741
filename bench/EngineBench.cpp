// Cost of the delay engine per stereo sample: the default settings against a heavy setting (every
// modulation source in use, all 24 slots on engine targets, 48 dB filters in parallel, Stretch
// reading), measured side by side in one run. Compare the per_sample counters of the two rows.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "engine/HeavySetting.h"
#include "engine/LorimanePlugin.h"
#include "tools/lorimane-render/RenderCommand.h"

namespace {

void configureHeavy(LorimanePlugin& plugin) {
    std::string error;
    for (const std::string& setting : heavySetting()) applySetting(plugin, setting, error);
}

void EngineProcess(benchmark::State& state) {
    constexpr int kBlock = 512;
    LorimanePlugin plugin;
    plugin.setSampleRate(48000.0f);
    if (state.range(0) == 1) configureHeavy(plugin);
    plugin.reset();
    std::mt19937 random(3);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    std::vector<std::vector<float>> in(2, std::vector<float>(kBlock)), out(2, std::vector<float>(kBlock));
    for (auto& channel : in)
        for (float& x : channel) x = noise(random);
    const float* ins[2] = {in[0].data(), in[1].data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    float position = 0.0f;
    for (auto _ : state) {
        plugin.setTransport(120.0, position);
        plugin.process(ins, 2, outs, 2, kBlock);
        position += kBlock * 2.0f / 48000.0f;
        if (position > 256.0f) position -= 256.0f;
        benchmark::DoNotOptimize(out[0][0]);
    }
    // Seconds per stereo sample, shown with an SI prefix.
    state.counters["per_sample"] = benchmark::Counter(
        kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One block right after a preset load: every parameter switches between the default and the heavy
// setting (all 24 slots reconnected) in one batch, and the next block applies it. Arg 1 checks the
// slots for loops once per batch, arg 0 once per slot change (the queue drained without the
// matrix's batch); compare the two rows' times.
void PresetLoadBlock(benchmark::State& state) {
    constexpr int kBlock = 128;
    LorimanePlugin plugin;
    plugin.setSampleRate(48000.0f);
    auto snapshot = [&] {
        std::vector<float> values;
        for (int i = 0; i < plugin.getParameterCount(); ++i) values.push_back(plugin.getParameter(i)->value());
        return values;
    };
    std::vector<float> light = snapshot();
    configureHeavy(plugin);
    std::vector<float> heavy = snapshot();
    plugin.reset();
    std::vector<std::vector<float>> in(2, std::vector<float>(kBlock, 0.1f)), out(2, std::vector<float>(kBlock));
    const float* ins[2] = {in[0].data(), in[1].data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    bool toHeavy = false;
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<float>& values = toHeavy ? heavy : light;
        plugin.beginUpdate();
        for (int i = 0; i < plugin.getParameterCount(); ++i) plugin.getParameter(i)->setValue(values[std::size_t(i)], 0);
        plugin.endUpdate();
        toHeavy = !toHeavy;
        state.ResumeTiming();
        if (state.range(0) == 0) plugin.GenericPlugin::applyParameterChanges();
        plugin.process(ins, 2, outs, 2, kBlock);
        benchmark::DoNotOptimize(out[0][0]);
    }
}

}  // namespace

// 0: default settings, 1: heavy setting.
BENCHMARK(EngineProcess)->ArgName("heavy")->Arg(0)->Arg(1);
BENCHMARK(PresetLoadBlock)->ArgName("batched")->Arg(0)->Arg(1);
