// lorimane-bench: the plug-in's cost through its host interface, per scenario.
//
//   lorimane-bench [--seconds S] [--passes P] [--scenario NAME]... [--rate HZ]... [--block N]...
//                  [--conserve N]...
//   lorimane-bench --instance [--rate HZ]...
//
// Drives instances through the AAX-style adapter and test host, as a host does (bypass, MIDI,
// transport and automation every block), on one core. For each sample rate and host block length it
// creates one instance per scenario and "ConserveMemory" setting and alternates whole passes between
// them, so machine noise hits them alike. It prints per instance the median ns per stereo sample over
// the passes, the real-time factor, the worst block, the ratio to the default scenario with the same
// "ConserveMemory", and the ratio to the same scenario with the first "ConserveMemory" given (32-
// against 128-sample sub-blocks with the defaults 0 and 2). The "tail" scenario times a loud burst
// with the ring-down that follows it (high feedback and resonance), and apart from them the silence
// after the tail has died away, which should cost little.
//
// --instance prints, per sample rate, what one instance costs: heap memory taken by its
// construction, construction time, the time to restore a saved state (the heavy scenario, through
// the host's chunk restore) and the worst block of the second in which that preset takes effect,
// against the worst block once it runs steadily (medians of five trials, blocks of 128).
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/aax/AaxPluginAdapter.h"
#include "product/ProductPlugin.h"
#include "tools/aax-test-host/AaxTestHost.h"
#include "tools/lorimane-render/RenderCommand.h"

namespace {

struct Scenario {
    std::string name;
    std::vector<std::string> settings;  // "NAME=TEXT", applied through the parameters' text parsers
    bool bypassed = false;
    bool notes = false;       // a MIDI note every 10 ms
    bool automation = false;  // a host automation value every block
    bool tail = false;        // a loud burst, then silence; the two parts timed apart
};

std::vector<Scenario> scenarios() {
    std::vector<Scenario> list;
    list.push_back({"default", {}});
    list.push_back({"bypassed", {}, true});
    list.push_back(
        {"filters-48dB",
         {"Filter 1 Slope=48", "Filter 2 Slope=48", "Filter 1 Peak=0.7", "Filter 2 Peak=0.7",
          "Filter 1 Freq=2000 Hz", "Filter 2 Freq=3000 Hz", "Delay L Feedback=0.5", "Delay R Feedback=0.5"}});
    list.push_back({"stretch-modulated",
                    {"Delay Buffer Read Style=Stretch", "Num Active XLFOs=1", "XLFO 1 Frequency=0.5 Hz",
                     "Num Active Slots=1", "Slot 1 Source=XLFO 1", "Slot 1 Target=Delay 1 Time",
                     "Slot 1 Level=0.5", "Delay L Feedback=0.5", "Delay R Feedback=0.5"}});
    Scenario heavy{
        "heavy",
        {"Delay Buffer Read Style=Stretch", "Filter 1 Slope=48", "Filter 2 Slope=48", "Filter 1 Peak=0.7",
         "Filter 2 Peak=0.7", "Delay L Feedback=0.6", "Delay R Feedback=0.6", "Delay L Cross Feedback=0.3",
         "Num Active XY Controllers=4", "Num Active XLFOs=6", "Num Active EGs=6", "Num Active EFs=4",
         "Num Active MIDI Sources=10", "Num Active Slots=24"},
        false,
        true,
        true};
    const char* sources[] = {"XLFO 1", "XLFO 2",   "XLFO 3",   "XLFO 4",   "XLFO 5", "XLFO 6",
                             "EG 1",   "EG 2",     "EG 3",     "EG 4",     "EG 5",   "EG 6",
                             "EF 1",   "EF 2",     "EF 3",     "EF 4",     "MIDI 1", "MIDI 2",
                             "MIDI 3", "XY 1 Hor", "XY 2 Ver", "XY 3 Hor", "XLFO 1", "EG 1"};
    const char* targets[] = {"Delay 1 Time",
                             "Delay 2 Time",
                             "Delay 1 Feedback",
                             "Delay 2 Feedback",
                             "Delay 1 Pan",
                             "Delay 2 Pan",
                             "Filter 1 Freq",
                             "Filter 2 Freq",
                             "Filter 1 Peak",
                             "Filter 2 Peak",
                             "Filter 1 Pan",
                             "Filter 2 Pan",
                             "XLFO 2 Freq",
                             "XLFO 3 Freq",
                             "Delay 1 Offset",
                             "Delay 2 Offset",
                             "Delay 1 Cross Feedback",
                             "Delay 2 Cross Feedback",
                             "XLFO 4 Freq",
                             "XLFO 5 Freq",
                             "XLFO 6 Freq",
                             "Filter 1 Freq",
                             "Filter 2 Freq",
                             "Delay 1 Time"};
    for (int n = 1; n <= 6; ++n)
        heavy.settings.push_back("XLFO " + std::to_string(n) + " Frequency=" + std::to_string(40 * n) +
                                 " Hz");
    for (int s = 0; s < 24; ++s) {
        std::string slot = "Slot " + std::to_string(s + 1);
        heavy.settings.push_back(slot + " Source=" + sources[s]);
        heavy.settings.push_back(slot + " Target=" + targets[s]);
        heavy.settings.push_back(slot + " Level=0.3");
    }
    for (int n = 1; n <= 6; ++n) heavy.settings.push_back("EG " + std::to_string(n) + " Triggering=MIDI");
    list.push_back(heavy);
    list.push_back({"tail",
                    {"Delay L Time=5 ms", "Delay R Time=7 ms", "Delay L Feedback=0.8", "Delay R Feedback=0.8",
                     "Filter 1 Slope=48", "Filter 2 Slope=48", "Filter 1 Peak=0.9", "Filter 2 Peak=0.9",
                     "Filter 1 Freq=1500 Hz", "Filter 2 Freq=2500 Hz"},
                    false,
                    false,
                    false,
                    true});
    return list;
}

// A second of phrase: half a second of tone and noise, half a second of silence.
std::vector<std::vector<float>> makeInput(double rate, double seconds) {
    size_t n = static_cast<size_t>(rate * seconds);
    std::vector<std::vector<float>> in(3, std::vector<float>(n, 0.0f));
    std::mt19937 random(11);
    std::uniform_real_distribution<float> noise(-0.3f, 0.3f);
    const double pi = std::acos(-1.0);
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        bool loud = std::fmod(t, 1.0) < 0.5;
        float tone = loud ? static_cast<float>(0.4 * std::sin(2 * pi * 220.0 * t)) + noise(random) : 0.0f;
        in[0][i] = tone;
        in[1][i] = tone * 0.7f;
        in[2][i] = tone * 0.5f;
    }
    return in;
}

// The tail scenario's pass: a loud burst of kBurstSeconds, then kTailSeconds of silence in which
// the feedback and the resonant filters ring down to digital silence within kDecaySeconds; the
// quiet part timed is what follows the decay.
constexpr double kBurstSeconds = 0.5, kTailSeconds = 6.0, kDecaySeconds = 4.0;

std::vector<std::vector<float>> makeBurst(double rate) {
    size_t burst = static_cast<size_t>(rate * kBurstSeconds),
           n = burst + static_cast<size_t>(rate * kTailSeconds);
    std::vector<std::vector<float>> in(3, std::vector<float>(n, 0.0f));
    std::mt19937 random(13);
    std::uniform_real_distribution<float> noise(-0.9f, 0.9f);
    for (size_t i = 0; i < burst; ++i) {
        in[0][i] = noise(random);
        in[1][i] = noise(random);
    }
    return in;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// One instance of one scenario with one "ConserveMemory" setting, and what its passes measured.
struct Run {
    const Scenario* scenario;
    int conserve;
    std::unique_ptr<AaxTestHost::Instance> instance;
    const std::vector<std::vector<float>>* input;
    size_t quietFrom;                     // the tail scenario: where its silence begins
    std::vector<double> passNs, quietNs;  // ns per stereo sample of each pass (the loud part for the tail)
    double worst = 0;
};

void runPass(Run& run, double rate, int block, bool timed) {
    const std::vector<std::vector<float>>& input = *run.input;
    size_t frames = input[0].size();
    std::vector<float> outL(block), outR(block);
    float* outs[2] = {outL.data(), outR.data()};
    std::mt19937 random(5);
    double loud = 0, quiet = 0;
    size_t nextNote = 0;
    if (run.scenario->tail) run.instance->requestReset();  // every pass starts its burst from silence
    for (size_t pos = 0; pos < frames; pos += block) {
        int n = static_cast<int>(std::min<size_t>(block, frames - pos));
        while (run.scenario->notes && nextNote < pos + n) {
            run.instance->addMidi(0x90, static_cast<uint8_t>(48 + random() % 24), 100,
                                  static_cast<uint32_t>(nextNote - pos));
            nextNote += static_cast<size_t>(rate * 0.01);
        }
        if (run.scenario->automation)
            run.instance->automate("6", std::uniform_real_distribution<double>(0, 1)(random));
        const float* ins[3] = {input[0].data() + pos, input[1].data() + pos, input[2].data() + pos};
        auto start = std::chrono::steady_clock::now();
        run.instance->render(ins, outs, n);
        double ns =
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
        (pos >= run.quietFrom ? quiet : loud) += ns;
        if (timed) run.worst = std::max(run.worst, ns);
    }
    if (!timed) return;
    run.passNs.push_back(loud / std::min(frames, run.quietFrom));
    if (run.quietFrom < frames) run.quietNs.push_back(quiet / (frames - run.quietFrom));
}

std::unique_ptr<AaxTestHost::Instance> makeInstance(AaxTestHost& host, const Scenario& scenario, float rate,
                                                    std::string& error) {
    auto instance = host.createInstance(0, rate, error);
    if (!instance) return nullptr;
    GenericPlugin& plugin = *static_cast<AaxPluginAdapter&>(instance->effect()).plugin();
    for (const std::string& s : scenario.settings)
        if (!applySetting(plugin, s, error)) {
            error = scenario.name + ": " + error;
            return nullptr;
        }
    if (scenario.bypassed) instance->setMasterBypass(true);
    instance->requestReset();
    return instance;
}

size_t heapInUse() {
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// What one instance costs beside its processing: memory, construction, a preset load.
int measureInstances(AaxTestHost& host, const std::vector<double>& rates) {
    const std::vector<Scenario> list = scenarios();
    const Scenario& heavy =
        *std::find_if(list.begin(), list.end(), [](const Scenario& s) { return s.name == "heavy"; });
    std::printf("%7s %10s %16s %12s %18s %18s %8s\n", "rate", "memory MB", "construction ms", "restore ms",
                "steady worst us", "worst after load", "ratio");
    for (double rate : rates) {
        std::string error;
        auto source = makeInstance(host, heavy, static_cast<float>(rate), error);
        if (!source) {
            std::fprintf(stderr, "lorimane-bench: %s\n", error.c_str());
            return 2;
        }
        AAX_Result r;
        auto chunks = source->saveChunks(r);
        if (r != AAX_SUCCESS) {
            std::fprintf(stderr, "lorimane-bench: the heavy setting cannot be saved\n");
            return 2;
        }
        // Memory: what the heap holds more after one construction. Time: the median of five.
        size_t before = heapInUse();
        std::unique_ptr<AaxTestHost::Instance> instance;
        std::vector<double> constructions;
        double memoryMb = 0;
        for (int k = 0; k < 5; ++k) {
            instance.reset();
            auto begin = std::chrono::steady_clock::now();
            instance = host.createInstance(0, static_cast<float>(rate), error);
            constructions.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
            if (!instance) {
                std::fprintf(stderr, "lorimane-bench: %s\n", error.c_str());
                return 2;
            }
            if (k == 0)
                memoryMb =
                    (static_cast<double>(heapInUse()) - static_cast<double>(before)) / (1024.0 * 1024.0);
        }
        double constructionMs = median(constructions);

        // Steady blocks of the default setting, then the heavy preset restored between two blocks.
        const int block = 128;
        std::vector<std::vector<float>> input = makeInput(rate, 1.0);
        std::vector<float> outL(block), outR(block);
        float* outs[2] = {outL.data(), outR.data()};
        size_t frames = input[0].size();
        auto renderAll = [&]() {
            double worst = 0;
            for (size_t pos = 0; pos + block <= frames; pos += block) {
                const float* ins[3] = {input[0].data() + pos, input[1].data() + pos, input[2].data() + pos};
                auto start = std::chrono::steady_clock::now();
                instance->render(ins, outs, block);
                worst = std::max(
                    worst, std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                               .count());
            }
            return worst;
        };
        // Five times: the heavy preset restored into an instance running the default setting, the
        // worst block of the second after it (the restored values are applied in the first block),
        // and the worst block of the second after that, when the restored setting runs steadily.
        std::vector<double> restores, loadWorsts, steadyWorsts;
        for (int trial = 0; trial < 5; ++trial) {
            if (trial > 0) instance = host.createInstance(0, static_cast<float>(rate), error);
            if (!instance) {
                std::fprintf(stderr, "lorimane-bench: %s\n", error.c_str());
                return 2;
            }
            renderAll();
            auto begin = std::chrono::steady_clock::now();
            if (instance->restoreChunks(chunks) != AAX_SUCCESS) {
                std::fprintf(stderr, "lorimane-bench: the heavy setting cannot be restored\n");
                return 2;
            }
            restores.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
            loadWorsts.push_back(renderAll());
            steadyWorsts.push_back(renderAll());
        }
        double loadWorst = median(loadWorsts), steadyWorst = median(steadyWorsts);
        std::printf("%7.0f %10.2f %16.2f %12.2f %18.1f %18.1f %8.2f\n", rate, memoryMb, constructionMs,
                    median(restores), steadyWorst / 1000, loadWorst / 1000, loadWorst / steadyWorst);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 1.0;
    int passes = 3;
    bool instanceMode = false;
    std::vector<std::string> only;
    std::vector<double> rates;
    std::vector<int> blocks, conserves;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--instance") {
            instanceMode = true;
            continue;
        }
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!v) {
            std::fprintf(stderr, "lorimane-bench: %s needs a value\n", a.c_str());
            return 2;
        }
        ++i;
        if (a == "--seconds")
            seconds = std::atof(v);
        else if (a == "--passes")
            passes = std::atoi(v);
        else if (a == "--scenario")
            only.push_back(v);
        else if (a == "--rate")
            rates.push_back(std::atof(v));
        else if (a == "--block")
            blocks.push_back(std::atoi(v));
        else if (a == "--conserve")
            conserves.push_back(std::atoi(v));
        else {
            std::fprintf(stderr, "lorimane-bench: unknown option '%s'\n", a.c_str());
            return 2;
        }
    }
    if (rates.empty()) rates = {44100, 48000, 96000};
    if (blocks.empty()) blocks = {32, 128, 512, 4096};
    if (conserves.empty()) conserves = {0, 2};
    if (seconds <= 0 || passes <= 0) return 2;
    const std::vector<Scenario> list = scenarios();
    for (const std::string& name : only)
        if (std::none_of(list.begin(), list.end(), [&](const Scenario& s) { return s.name == name; })) {
            std::fprintf(stderr, "lorimane-bench: no scenario '%s'\n", name.c_str());
            return 2;
        }

    AaxPluginAdapter::setPluginFactory(&makeProductPlugin);
    AaxTestHost host(&GetEffectDescriptions);
    if (host.describe() != AAX_SUCCESS) {
        std::fprintf(stderr, "lorimane-bench: the plug-in does not describe itself\n");
        return 2;
    }
    std::string error;
    auto keeper = host.createInstance(0, 48000.0f, error);  // holds the process-wide settings
    if (!keeper) {
        std::fprintf(stderr, "lorimane-bench: %s\n", error.c_str());
        return 2;
    }
    if (instanceMode) return measureInstances(host, rates);
    GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings();

    std::printf("%-18s %7s %6s %8s %12s %11s %14s %10s %12s\n", "scenario", "rate", "block", "conserve",
                "ns/sample", "realtime x", "worst block us", "/ default", "/ conserve");
    for (double rate : rates)
        for (int block : blocks) {
            std::vector<std::vector<float>> input = makeInput(rate, seconds), burst = makeBurst(rate);
            std::vector<Run> runs;
            for (int conserve : conserves)
                for (const Scenario& scenario : list) {
                    if (!only.empty() && std::find(only.begin(), only.end(), scenario.name) == only.end() &&
                        scenario.name != "default")
                        continue;
                    if (shared) shared->conserveMemory = conserve;  // read when an instance is built
                    Run run{&scenario,
                            conserve,
                            makeInstance(host, scenario, static_cast<float>(rate), error),
                            scenario.tail ? &burst : &input,
                            0,
                            {},
                            {},
                            0};
                    if (!run.instance) {
                        std::fprintf(stderr, "lorimane-bench: %s\n", error.c_str());
                        return 2;
                    }
                    run.quietFrom =
                        scenario.tail ? static_cast<size_t>(rate * (kBurstSeconds + kDecaySeconds))
                                      : run.input->front().size();
                    runs.push_back(std::move(run));
                }
            // One untimed pass each settles fades and ramps; then the timed passes, alternating.
            for (Run& run : runs) runPass(run, rate, block, false);
            for (int pass = 0; pass < passes; ++pass)
                for (Run& run : runs) runPass(run, rate, block, true);

            auto find = [&](const std::string& name, int conserve) -> const Run* {
                for (const Run& r : runs)
                    if (r.scenario->name == name && r.conserve == conserve) return &r;
                return nullptr;
            };
            for (const Run& run : runs) {
                double cost = median(run.passNs);
                const Run* byDefault = find("default", run.conserve);
                const Run* byConserve = find(run.scenario->name, conserves.front());
                std::string name = run.scenario->tail ? "tail-loud" : run.scenario->name;
                std::printf("%-18s %7.0f %6d %8d %12.2f %11.0f %14.1f %10.3f %12.3f\n", name.c_str(), rate,
                            block, run.conserve, cost, 1e9 / rate / cost, run.worst / 1000,
                            cost / median(byDefault->passNs), cost / median(byConserve->passNs));
                if (run.scenario->tail) {
                    double quiet = median(run.quietNs);
                    std::printf("%-18s %7.0f %6d %8d %12.2f %11.0f %14s %10.3f %12.3f   quiet / loud %.3f\n",
                                "tail-quiet", rate, block, run.conserve, quiet, 1e9 / rate / quiet, "",
                                quiet / median(byDefault->passNs), quiet / median(byConserve->quietNs),
                                quiet / cost);
                }
            }
            std::fflush(stdout);
        }
    return 0;
}
