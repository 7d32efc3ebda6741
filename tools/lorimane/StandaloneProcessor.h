#pragma once

#include <atomic>
#include <cstdint>

#include "framework/GenericPlugin.h"
#include "framework/PluginWorker.h"

// What the standalone application does in each audio callback, apart from the JACK calls that
// gather the block: follows the server's sample rate, hands MIDI and the transport to the plug-in,
// processes, and wakes the worker for program changes and parameter reports.
class StandaloneProcessor {
public:
    // The musical clock of one block. With a running timebase master its tempo and position apply;
    // otherwise the fallback tempo, and the plug-in's clock runs on from the last position it had.
    struct Transport {
        bool fromMaster = false;
        double tempo = 120.0;      // beats per minute
        double quarters = 0.0;     // position in quarter notes
    };

    struct Block {
        const float* inputs[4] = {};  // left, right, side chain left, side chain right
        float* outputs[2] = {};
        int frames = 0;
        const MidiMessage* midi = nullptr;  // in time order, offsets within the block
        int midiCount = 0;
        Transport transport;
    };

    // [ui] The plug-in is prepared for sampleRate; the worker is started by the caller.
    StandaloneProcessor(GenericPlugin& plugin, PluginWorker& worker, double sampleRate, double fallbackTempo);

    // [any] The server's sample rate changed (JACK's notification thread): taken at the next block.
    void setSampleRate(double rate) { pendingRate_.store(rate, std::memory_order_release); }
    double fallbackTempo() const { return fallbackTempo_; }

    // [audio] Never blocks or allocates.
    void process(Block& block);

    // Reads a timebase master's bar, beat and tick as quarter notes: a 6/8 bar is three quarters.
    static double quartersOf(int32_t bar, int32_t beat, int32_t tick, double ticksPerBeat, float beatsPerBar,
                             float beatType);

private:
    GenericPlugin& plugin_;
    PluginWorker& worker_;
    std::atomic<double> pendingRate_;
    double rate_;
    double fallbackTempo_;
    double heldQuarters_ = 0.0;  // the master's last position
    bool reset_ = true;
};
