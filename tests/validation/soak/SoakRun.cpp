// A long validation run for the sanitizer builds (scripts/soak.sh), not part of the test suite:
// instances of the LV2 plug-in at changing sample rates, run in blocks of changing length with random
// input, random control-port settings and automation, MIDI controllers and program changes (loaded in
// a worker thread), and preset loads from a UI thread while the audio thread goes on. Everything is
// drawn from one seed, so a failing run can be repeated. The sanitizers report faults; the run itself
// fails on a non-finite output or a program change that never loaded.
//
//     lorimane-soak [seconds] [seed]
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "Lv2TestHost.h"
#include "host/lv2/Lv2Plugin.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/PresetManager.h"
#include "product/ProductPlugin.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kRates[] = {22050, 44100, 48000, 88200, 96000, 192000};
constexpr int kLongestBlock = 4096;

// The URID map and worker schedule a host offers, with the worker's requests served by the test.
struct Host {
    UridMap urids;
    WorkerHost worker{urids};
};

// An atom sequence with room for a few MIDI events, rewritten before every block.
class MidiSequence {
public:
    explicit MidiSequence(Host& host)
        : sequenceType_(host.urids.map.map(host.urids.map.handle, LV2_ATOM__Sequence)),
          midiType_(host.urids.map.map(host.urids.map.handle, LV2_MIDI__MidiEvent)) {
        clear();
    }
    void clear() {
        std::memset(buffer_, 0, sizeof buffer_);
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(buffer_);
        sequence->atom.type = sequenceType_;
        sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    }
    void add(int64_t frame, uint8_t status, uint8_t data1, uint8_t data2, int size) {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(buffer_);
        const uint32_t used = sizeof(LV2_Atom) + sequence->atom.size;
        if (used + sizeof(LV2_Atom_Event) + 8 > sizeof buffer_) return;
        auto* event = reinterpret_cast<LV2_Atom_Event*>(buffer_ + used);
        event->time.frames = frame;
        event->body.type = midiType_;
        event->body.size = static_cast<uint32_t>(size);
        auto* bytes = reinterpret_cast<uint8_t*>(event + 1);
        bytes[0] = status;
        bytes[1] = data1;
        bytes[2] = data2;
        sequence->atom.size += static_cast<uint32_t>(sizeof(LV2_Atom_Event) + 8);
    }
    void* data() { return buffer_; }

private:
    alignas(8) uint8_t buffer_[512];
    LV2_URID sequenceType_, midiType_;
};

struct Figures {
    long instances = 0, blocks = 0, samples = 0, automation = 0, controllers = 0, programChanges = 0,
         programLoads = 0, presetLoads = 0, nonFinite = 0;
    double audioSeconds = 0.0;
};

// One instance at one rate for `seconds` of wall time.
bool soakOneInstance(Host& host, double rate, double seconds, std::mt19937& random, Figures& figures) {
    std::string error;
    auto lv2 = Lv2Plugin::create(rate, host.worker.features, error);
    if (!lv2) {
        std::fprintf(stderr, "soak: the plug-in did not start at %.0f Hz: %s\n", rate, error.c_str());
        return false;
    }
    ++figures.instances;
    GenericPlugin& plugin = lv2->plugin();
    const int count = plugin.getParameterCount();
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto portFor = [&](int p, float normalized) {
        AbstractPluginParameter& param = *plugin.getParameter(p);
        return Lv2Plugin::portValue(param, param.normalizedToPlain(normalized));
    };
    std::vector<float> controls(count);
    for (int p = 0; p < count; ++p) {
        controls[p] = portFor(p, unit(random));
        lv2->connectPort(Lv2Plugin::kFirstParameter + p, &controls[p]);
    }
    std::vector<std::vector<float>> inputs(4, std::vector<float>(kLongestBlock));
    std::vector<float> outLeft(kLongestBlock), outRight(kLongestBlock);
    float enabled = 1.0f;
    for (int c = 0; c < 4; ++c) lv2->connectPort(Lv2Plugin::kInputLeft + c, inputs[c].data());
    lv2->connectPort(Lv2Plugin::kOutputLeft, outLeft.data());
    lv2->connectPort(Lv2Plugin::kOutputRight, outRight.data());
    lv2->connectPort(Lv2Plugin::kEnabled, &enabled);
    MidiSequence midi(host);
    lv2->connectPort(Lv2Plugin::kEvents, midi.data());
    lv2->activate();

    std::vector<PresetEntry*> presets = PersistenceGlobals::instance()->mainPresets().flatten();
    std::atomic<bool> stop{false};
    std::atomic<long> workDone{0};
    // The host's worker thread serves every request the audio thread scheduled.
    std::thread worker([&] {
        int served = 0;
        while (!stop.load()) {
            if (host.worker.requests.load() > served) {
                ++served;
                lv2->work();
                workDone.fetch_add(1);
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
    });
    // The UI thread loads presets now and then, as an editor would.
    const uint32_t uiSeed = static_cast<uint32_t>(random());
    std::thread ui([&] {
        std::mt19937 uiRandom(uiSeed);
        while (!stop.load() && !presets.empty()) {
            plugin.loadPreset(presets[uiRandom() % presets.size()]->record());
            ++figures.presetLoads;
            std::this_thread::sleep_for(std::chrono::milliseconds(20 + uiRandom() % 60));
        }
    });

    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    std::uniform_int_distribution<int> blockLength(1, kLongestBlock);
    std::normal_distribution<float> noise(0.0f, 0.3f);
    int requestsBefore = host.worker.requests.load();
    while (Clock::now() < until) {
        const int n = random() % 8 == 0 ? blockLength(random) : 1 << (random() % 10);
        const int kind = static_cast<int>(random() % 8);
        for (auto& channel : inputs)
            for (int i = 0; i < n; ++i)
                channel[i] = kind == 0 ? 0.0f : kind == 1 ? noise(random) * 1e-39f : kind == 2 ? 1.0f : noise(random);
        // Automation between blocks, as a host writes control ports.
        for (int k = static_cast<int>(random() % 4); k > 0; --k) {
            const int p = static_cast<int>(random() % count);
            controls[p] = portFor(p, unit(random));
            ++figures.automation;
        }
        midi.clear();
        if (random() % 16 == 0) {
            midi.add(random() % n, 0xB0, static_cast<uint8_t>(random() % 128), static_cast<uint8_t>(random() % 128), 3);
            ++figures.controllers;
        }
        if (random() % 200 == 0) {
            midi.add(0, 0xC0, static_cast<uint8_t>(random() % 16), 0, 2);
            ++figures.programChanges;
        }
        enabled = random() % 500 == 0 ? 1.0f - enabled : enabled;
        lv2->run(static_cast<uint32_t>(n));
        for (int i = 0; i < n; ++i)
            if (!std::isfinite(outLeft[i]) || !std::isfinite(outRight[i])) ++figures.nonFinite;
        ++figures.blocks;
        figures.samples += n;
        figures.audioSeconds += n / rate;
    }
    // Every scheduled program change is loaded before the instance goes.
    const int scheduled = host.worker.requests.load() - requestsBefore;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (workDone.load() < scheduled && Clock::now() < deadline) {
        midi.clear();
        lv2->run(64);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop = true;
    worker.join();
    ui.join();
    figures.programLoads += workDone.load();
    host.worker.requests = 0;
    if (workDone.load() < scheduled) {
        std::fprintf(stderr, "soak: %d program changes scheduled, %ld loaded\n", scheduled, workDone.load());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 2026;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: lorimane-soak [seconds] [seed]\n");
        return 2;
    }
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    GenericPlugin::sharedSettings();
    std::mt19937 random(seed);
    Host host;
    Figures figures;
    const auto start = Clock::now();
    const auto until = start + std::chrono::duration<double>(seconds);
    bool ok = true;
    bool programChangesOn = false;
    for (int round = 0; ok && Clock::now() < until; ++round) {
        // Program changes are honoured in every other instance.
        if (GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings()) {
            programChangesOn = !programChangesOn;
            shared->enableMidiProgramChanges = programChangesOn;
        }
        const double left = std::chrono::duration<double>(until - Clock::now()).count();
        const double rate = kRates[random() % std::size(kRates)];
        ok = soakOneInstance(host, rate, std::clamp(left, 0.1, 5.0), random, figures);
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf(
        "soak: seed %u, %.0f s: %ld instances, %ld blocks, %ld samples (%.1f s of audio), %ld automation "
        "writes, %ld controllers, %ld program changes sent, %ld worker calls, %ld preset loads from the UI "
        "thread, %ld non-finite outputs\n",
        seed, elapsed, figures.instances, figures.blocks, figures.samples, figures.audioSeconds,
        figures.automation, figures.controllers, figures.programChanges, figures.programLoads,
        figures.presetLoads, figures.nonFinite);
    return ok && figures.nonFinite == 0 ? 0 : 1;
}
