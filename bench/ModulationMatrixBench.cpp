// Cost of the modulation matrix per processing cycle: the 21 targets the delay engine reads (delay,
// filter, level and pan targets), pulled once per cycle, with 0, 8 and 24 slots active and every
// source changing at audio rate. Compare the per_sample counters of the three rows: the 0-slot row is
// the pass-through of the base ramps, the reference for the others.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "modulation/InternalController.h"
#include "modulation/ModulationMatrix.h"
#include "modulation/ModulationMatrixPlugin.h"

namespace {

// A source at audio rate that costs nothing itself: it publishes a fixed, non-constant block.
class TableSource : public wave::Source {
public:
    TableSource(wave::Environment& environment, float phase) : wave::Source(environment) {
        for (int i = 0; i < environment.maxBlockLength(); ++i)
            ownBuffer()[i] = std::sin(phase + 0.05f * float(i));
    }
    void produce(SampleBuffer&, int, int) override { setOutputFlags(0); }
};

// Reaches the plug-in base's set-up of this system's numbering.
struct MatrixSetUp : ModulationMatrixPlugin {
    using ModulationMatrixPlugin::configureMatrix;
};

constexpr int kEngineTargets[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 78, 79, 80, 81, 82};
constexpr int kEngineTargetCount = int(sizeof(kEngineTargets) / sizeof(kEngineTargets[0]));

void MatrixCycle(benchmark::State& state) {
    int slots = static_cast<int>(state.range(0));
    constexpr int kBlock = 128;
    wave::Environment environment(kBlock);
    environment.setSampleRate(48000.0f);
    ModulationMatrix matrix(environment);
    MatrixSetUp::configureMatrix(matrix);
    std::vector<std::unique_ptr<TableSource>> sources;
    for (int s = 0; s < ModulationMatrix::kSourceCount; ++s) {
        sources.push_back(std::make_unique<TableSource>(environment, 0.3f * float(s)));
        matrix.setSourceProducer(s, sources.back().get());
    }
    std::vector<ModulationMatrix::GlobalTargetController*> handles;
    for (int t : kEngineTargets) {
        handles.push_back(matrix.getTargetController(t));
        matrix.setTargetBaseValue(t, 0.5f);
    }
    InternalController& c = matrix.internalController();
    for (int s = 0; s < slots; ++s) {
        // XLFOs, EGs and EFs spread over the engine's targets.
        c.setSource(s, 8 + s % 16);
        c.setTarget(s, kEngineTargets[s % kEngineTargetCount]);
        c.setLevel(s, 0.16f);
    }
    for (int s = 0; s < slots; ++s)
        if (!matrix.isSlotActive(s)) state.SkipWithError("a benchmark slot is inactive");

    for (auto _ : state) {
        environment.advanceCycle();
        for (auto* handle : handles) benchmark::DoNotOptimize(handle->pull(kBlock, 0));
        environment.process(kBlock, 0);
    }
    // Seconds per sample of the cycle, shown with an SI prefix.
    state.counters["per_sample"] = benchmark::Counter(
        kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(MatrixCycle)->ArgName("slots")->Arg(0)->Arg(8)->Arg(24);
