// The filter group's cost per sample at each slope: four clients filtered at once in the four lanes
// of the vector path, against the plain one-lane path filtering one signal. The figure to compare is
// ns per lane-sample (items are lane-samples).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "wave/Environment.h"
#include "wave/filters/GenericFilter.h"
#include "wave/filters/StateVariableFilter.h"

namespace {
constexpr int kBlock = 128;

class NoiseSource : public wave::Source {
public:
    NoiseSource(wave::Environment& env, unsigned seed) : wave::Source(env), samples(kBlock) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        for (float& s : samples) s = noise(random);
    }
    void produce(SampleBuffer& output, int count, int) override {
        std::memcpy(output.samples(), samples.data(), sizeof(float) * count);
        setOutputFlags(0);
    }
    std::vector<float> samples;
};

// A cut-off that moves slowly, so coefficients update on the 32-sample grid.
class SweepSource : public wave::Source {
public:
    SweepSource(wave::Environment& env, float base) : wave::Source(env), base_(base) {}
    void produce(SampleBuffer& output, int count, int) override {
        for (int i = 0; i < count; ++i) output[i] = base_ + 2.0f * std::sin(phase_ += 1e-4f);
        setOutputFlags(0);
    }

private:
    float base_;
    float phase_ = 0.0f;
};

void GroupFourLanes(benchmark::State& state) {
    wave::Environment env(kBlock);
    env.setSampleRate(48000.0f);
    StateVariableFilter group(env);
    std::vector<std::unique_ptr<NoiseSource>> inputs;
    std::vector<std::unique_ptr<SweepSource>> sweeps;
    std::vector<std::unique_ptr<GenericFilter>> clients;
    for (int l = 0; l < 4; ++l) {
        inputs.push_back(std::make_unique<NoiseSource>(env, l + 1));
        sweeps.push_back(std::make_unique<SweepSource>(env, 9.0f + l));
        clients.push_back(std::make_unique<GenericFilter>(env));
        clients[l]->setInput(inputs[l].get());
        clients[l]->setFrequencyInput(sweeps[l].get());
        clients[l]->peakSource().rampTo(0.7f, 0.0f);
        clients[l]->slope.set(static_cast<GenericFilter::Slope>(state.range(0)));
        clients[l]->joinGroup(&group);
    }
    for (auto _ : state) {
        env.advanceCycle();
        for (auto& c : clients) benchmark::DoNotOptimize(c->pull(kBlock, 0));
        env.process(kBlock, 0);
    }
    state.SetItemsProcessed(state.iterations() * kBlock * 4);
    state.counters["ns_per_lane_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock * 4,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void OneLane(benchmark::State& state) {
    wave::Environment env(kBlock);
    env.setSampleRate(48000.0f);
    StateVariableFilter unit(env);
    unit.slope.set(static_cast<int>(state.range(0)));
    NoiseSource input(env, 1);
    std::vector<float> output(kBlock), frequency(kBlock), peak(kBlock, 0.7f);
    float phase = 0.0f;
    for (auto _ : state) {
        for (float& f : frequency) f = 9.0f + 2.0f * std::sin(phase += 1e-4f);
        unit.process(input.samples.data(), output.data(), frequency.data(), peak.data(), nullptr, kBlock, false);
        benchmark::DoNotOptimize(output.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    state.counters["ns_per_lane_sample"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kBlock, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
}  // namespace

BENCHMARK(GroupFourLanes)->Arg(1)->Arg(2)->Arg(3)->ArgName("slope");
BENCHMARK(OneLane)->Arg(1)->Arg(2)->Arg(3)->ArgName("slope");
