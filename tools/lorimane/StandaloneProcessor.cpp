#include "tools/lorimane/StandaloneProcessor.h"

#include <cmath>

StandaloneProcessor::StandaloneProcessor(GenericPlugin& plugin, PluginWorker& worker, double sampleRate,
                                         double fallbackTempo)
    : plugin_(plugin), worker_(worker), pendingRate_(sampleRate), rate_(sampleRate), fallbackTempo_(fallbackTempo) {
    plugin_.setSampleRate(static_cast<float>(sampleRate));
}

double StandaloneProcessor::quartersOf(int32_t bar, int32_t beat, int32_t tick, double ticksPerBeat,
                                       float beatsPerBar, float beatType) {
    double unit = beatType > 0.0f ? beatType : 4.0;
    double perBar = beatsPerBar > 0.0f ? beatsPerBar : 4.0;
    double beats = (bar - 1) * perBar + (beat - 1) + (ticksPerBeat > 0.0 ? tick / ticksPerBeat : 0.0);
    return std::max(beats, 0.0) * 4.0 / unit;
}

void StandaloneProcessor::process(Block& block) {
    GenericPlugin& p = plugin_;
    GenericPlugin::AudioThreadScope audioThread(p);
    double rate = pendingRate_.load(std::memory_order_acquire);
    if (rate > 0.0 && rate != rate_) {
        // The graph keeps its buffers across rates: a change only resets it.
        rate_ = rate;
        p.setSampleRate(static_cast<float>(rate));
    }
    if (reset_) {
        // The first block starts from the settings as they are, without ramps.
        reset_ = false;
        p.reset();
    }
    for (int i = 0; i < block.midiCount; ++i) p.receiveMidi(block.midi[i]);

    // A position that stands still lets the plug-in's clock run on at the tempo given.
    double tempo = fallbackTempo_;
    if (block.transport.fromMaster && block.transport.tempo > 0.0) {
        tempo = block.transport.tempo;
        heldQuarters_ = std::fmod(block.transport.quarters, 256.0);
    }
    p.setTransport(tempo, static_cast<float>(heldQuarters_));

    p.process(block.inputs, 4, block.outputs, 2, block.frames);
    worker_.wakeIfNeeded();
}
