#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>

#include <memory>
#include <string>
#include <vector>

#include "framework/GenericPlugin.h"

// The plug-in as an LV2 plug-in: ports for stereo audio in and out, a stereo side chain, an atom
// input with MIDI and the host transport, the host's enable switch, and one control input per
// plug-in parameter in the units the editor shows, in the order of Lv2PortLayout. It drives the
// plug-in object through the same calls, in the same order, as the AAX-style adapter: bypass, MIDI,
// transport, process.
class Lv2Plugin {
public:
    enum Port : uint32_t {
        kInputLeft = 0,
        kInputRight,
        kOutputLeft,
        kOutputRight,
        kSideChainLeft,
        kSideChainRight,
        kEvents,
        kEnabled,
        kFirstParameter,
    };

    using PluginFactory = std::unique_ptr<GenericPlugin> (*)();
    static void setPluginFactory(PluginFactory factory);
    static PluginFactory pluginFactory();

    // [ui] Null with a message when the plug-in cannot start. The URID map is optional:
    // without it MIDI and transport events are not read.
    static std::unique_ptr<Lv2Plugin> create(double sampleRate, const LV2_Feature* const* features, std::string& error);
    ~Lv2Plugin();

    // [audio], or [ui] outside run: whichever thread the host chooses, never concurrently with run.
    void connectPort(uint32_t port, void* data);
    // [ui] Never concurrently with any other call on this instance (the host's instantiation class).
    void activate();
    // [audio] Never blocks or allocates.
    void run(uint32_t frames);

    GenericPlugin& plugin() { return *plugin_; }
    // Whether the host's worker performs the plug-in's deferred work (it was given a schedule).
    bool hasWorker() const { return schedule_ != nullptr; }

    // The state interface: the plug-in's values as current-version preset bytes, and the preset
    // name. [ui], never concurrently with run. A state that cannot be read is refused and changes
    // nothing.
    LV2_State_Status saveState(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
    static const LV2_State_Interface* stateInterface();

    // The worker interface. [worker], while run goes on: reports the changes run made to the
    // plug-in, and performs the work run handed off (a MIDI program change loads its preset, whose
    // values reach run as one batch through the parameter queue).
    LV2_Worker_Status work();
    static const LV2_Worker_Interface* workerInterface();

    // [any] The port value of a parameter: its display value (index for indexed parameters) and back.
    static float portValue(const AbstractPluginParameter& p, float plain);
    static float plainValue(const AbstractPluginParameter& p, float portValue);

private:
    Lv2Plugin() = default;
    void readControls();
    void readEvents();

    std::unique_ptr<GenericPlugin> plugin_;
    double sampleRate_ = 48000.0;
    const float* audioIn_[4] = {};
    float* audioOut_[2] = {};
    const void* events_ = nullptr;
    const float* enabled_ = nullptr;
    static constexpr std::size_t kControlBlock = 16;  // ports compared at once
    std::vector<const float*> controls_;  // by parameter index; never null
    std::vector<int> portParameters_;      // the parameter behind each control port
    std::vector<float> lastRead_;  // the last value read from each control port

    struct Urids {
        LV2_URID atomBlank, atomObject, atomFloat, atomDouble, atomInt, atomLong, midiEvent, timePosition, timeBar,
            timeBarBeat, timeBeatsPerBar, timeBeatUnit, timeBeatsPerMinute, timeSpeed, atomChunk, atomString,
            statePreset, statePresetName;
    } urids_{};
    // Set by a state restore: the next run takes the ports' values as read without applying them,
    // so port values the host still holds from before do not undo the restored state.
    std::atomic<bool> adoptPorts_{false};
    const LV2_Worker_Schedule* schedule_ = nullptr;
    std::atomic<bool> workScheduled_{false};
    // The first run after activation takes the ports' values at once, without ramps or glides.
    bool activated_ = false;

    // The host transport as last reported, and where it has got to since.
    double tempo_ = 120.0;
    double speed_ = 0.0;
    double quarters_ = 0.0;
};
