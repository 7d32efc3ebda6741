// Cost of the modulation sources per sample, one 128-sample cycle at a time at 48 kHz, against a
// ramped parameter source that is retargeted every block, measured in the same run. Compare the
// per_sample counters of the rows.
#include <benchmark/benchmark.h>

#include <memory>

#include "modulation/EnvelopeFollower.h"
#include "modulation/EnvelopeGenerator.h"
#include "modulation/MidiModSource.h"
#include "modulation/XLFO.h"
#include "wave/FloatParameterSource.h"

namespace {

constexpr int kBlock = 128;

void setCounters(benchmark::State& state) {
    state.counters["per_sample"] = benchmark::Counter(
        kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

struct Graph {
    Graph() { env.setSampleRate(48000.0f); }
    // One processing cycle with the source pulled.
    void cycle(wave::Producer& p) {
        env.advanceCycle();
        benchmark::DoNotOptimize(p.pull(kBlock, 0));
        env.process(kBlock, 0);
    }
    wave::Environment env{kBlock};
};

void ReferenceRamp(benchmark::State& state) {
    Graph g;
    FloatParameterSource ramp(g.env, 0.0f);
    float target = 1.0f;
    for (auto _ : state) {
        ramp.rampTo(target);
        target = 1.0f - target;
        g.cycle(ramp);
    }
    setCounters(state);
}

// 16 steps with sine glides, at a slow and at a fast rate (a step change every few samples).
void Xlfo(benchmark::State& state) {
    Graph g;
    XLFO x(g.env);
    for (int k = 0; k < XLFO::kMaxSteps; ++k) {
        x.step(k).value = (k % 2) ? 0.5f : -0.5f;
        x.step(k).glide = 0.5f;
        x.step(k).curve = XLFO::Sine;
    }
    x.defaultFrequency().value().jumpTo(static_cast<float>(state.range(0)));
    for (auto _ : state) g.cycle(x);
    setCounters(state);
}

void RandomXlfo(benchmark::State& state) {
    Graph g;
    XLFO x(g.env);
    for (int k = 0; k < XLFO::kMaxSteps; ++k) x.step(k).random = true;
    x.snap = true;
    x.defaultFrequency().value().jumpTo(static_cast<float>(state.range(0)));
    for (auto _ : state) g.cycle(x);
    setCounters(state);
}

// Retriggered every 0.1 s and released half way: delay, attack, decay and release all run.
void EnvelopeGeneratorStages(benchmark::State& state) {
    Graph g;
    auto tables = EnvelopeGenerator::CurveTables::createShaped();
    EnvelopeGenerator eg(g.env, tables.get());
    eg.defaultInput(EnvelopeGenerator::Delay).value().jumpTo(0.005f);
    eg.defaultInput(EnvelopeGenerator::Attack).value().jumpTo(0.01f);
    eg.defaultInput(EnvelopeGenerator::Decay).value().jumpTo(0.02f);
    eg.defaultInput(EnvelopeGenerator::Sustain).value().jumpTo(0.5f);
    eg.defaultInput(EnvelopeGenerator::Release).value().jumpTo(0.03f);
    int block = 0;
    for (auto _ : state) {
        if (block % 38 == 0) eg.noteOn();
        if (block % 38 == 19) eg.noteOff();
        ++block;
        g.cycle(eg);
    }
    setCounters(state);
}

// A level moving between -40 and 0 dBFS: one log10 per sample, coefficients cached.
void EnvelopeFollowerLevel(benchmark::State& state) {
    Graph g;
    FloatParameterSource level(g.env, 0.01f);
    EnvelopeFollower ef(g.env);
    ef.setInput(&level);
    ef.defaultAttack().value().jumpTo(0.01f);
    ef.defaultRelease().value().jumpTo(0.2f);
    float target = 1.0f;
    for (auto _ : state) {
        level.rampTo(target);
        target = target > 0.5f ? 0.01f : 1.0f;
        g.cycle(ef);
    }
    setCounters(state);
}

// A controller change every block, through the Log curve.
void MidiSource(benchmark::State& state) {
    Graph g;
    MidiModSource::Cache cache;
    MidiModSource source(g.env, cache);
    source.responseCurve = MidiModSource::Log;
    float value = 1.0f;
    for (auto _ : state) {
        cache.modulationWheel(value);
        value = 1.0f - value;
        g.cycle(source);
    }
    setCounters(state);
}

}  // namespace

BENCHMARK(ReferenceRamp);
BENCHMARK(Xlfo)->Arg(1)->Arg(2000);
BENCHMARK(RandomXlfo)->Arg(1)->Arg(2000);
BENCHMARK(EnvelopeGeneratorStages);
BENCHMARK(EnvelopeFollowerLevel);
BENCHMARK(MidiSource);
