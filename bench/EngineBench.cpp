// Cost of the delay engine per stereo sample: the default settings against a heavy setting (every
// modulation source in use, all 24 slots on engine targets, 48 dB filters in parallel, Stretch
// reading), measured side by side in one run. Compare the per_sample counters of the two rows.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "engine/LorimanePlugin.h"

namespace {

void set(LorimanePlugin& plugin, const std::string& name, const std::string& text) {
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        AbstractPluginParameter* p = plugin.getParameter(i);
        if (p->name() != name) continue;
        float plain = 0.0f;
        if (p->textToPlain(text, plain)) p->setValue(plain, 0);
        return;
    }
}

void configureHeavy(LorimanePlugin& plugin) {
    const char* settings[][2] = {{"Num Active XY Controllers", "4"},
                                 {"Num Active XLFOs", "6"},
                                 {"Num Active EGs", "6"},
                                 {"Num Active EFs", "4"},
                                 {"Num Active MIDI Sources", "10"},
                                 {"Num Active Slots", "24"},
                                 {"Delay Buffer Read Style", "Stretch"},
                                 {"Filter 1 Slope", "48"},
                                 {"Filter 2 Slope", "48"},
                                 {"Filter 1 Freq", "3000 Hz"},
                                 {"Filter 2 Freq", "800 Hz"},
                                 {"Filter Routing", "Parallel"},
                                 {"Delay L Feedback", "0.6"},
                                 {"Delay R Cross Feedback", "0.4"}};
    for (auto& s : settings) set(plugin, s[0], s[1]);
    const char* sources[] = {"XLFO 1", "XLFO 2",   "XLFO 3",   "XLFO 4",   "XLFO 5", "XLFO 6",
                             "EG 1",   "EG 2",     "EG 3",     "EG 4",     "EG 5",   "EG 6",
                             "EF 1",   "EF 2",     "EF 3",     "EF 4",     "MIDI 1", "MIDI 2",
                             "MIDI 3", "XY 1 Hor", "XY 1 Ver", "XY 2 Hor", "XLFO 1", "EF 1"};
    const char* targets[] = {"Delay 1 Time",  "Delay 2 Time", "Filter 1 Freq", "Filter 2 Freq",
                             "Filter 1 Peak", "Delay 1 Pan",  "Delay 2 Pan",   "Filter 1 Pan",
                             "Wet Level",     "Dry Pan",      "Input Level",   "Delay 1 Feedback"};
    for (int n = 0; n < 24; ++n) {
        std::string slot = "Slot " + std::to_string(n + 1);
        set(plugin, slot + " Source", sources[n]);
        set(plugin, slot + " Target", targets[n % 12]);
        set(plugin, slot + " Level", "0.3");
    }
    for (int n = 1; n <= 6; ++n)
        set(plugin, "XLFO " + std::to_string(n) + " Frequency", std::to_string(n) + " Hz");
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

}  // namespace

// 0: default settings, 1: heavy setting.
BENCHMARK(EngineProcess)->ArgName("heavy")->Arg(0)->Arg(1);
