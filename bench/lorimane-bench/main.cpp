// lorimane-bench: the plug-in's cost through its host interface, per scenario.
//
//   lorimane-bench [--seconds S] [--passes P] [--scenario NAME]... [--rate HZ]... [--block N]...
//                  [--conserve N]...
//
// Drives instances through the AAX-style adapter and test host, as a host does (bypass, MIDI,
// transport and automation every block), on one core, and prints per scenario, sample rate, host
// block length and "ConserveMemory" setting: the median ns per stereo sample over the passes, the
// real-time factor, the worst block, and the ratio to the default scenario at the same rate and block.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
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
};

std::vector<Scenario> scenarios() {
    std::vector<Scenario> list;
    list.push_back({"default", {}});
    list.push_back({"bypassed", {}, true});
    list.push_back({"filters-48dB",
                    {"Filter 1 Slope=48", "Filter 2 Slope=48", "Filter 1 Peak=0.7", "Filter 2 Peak=0.7",
                     "Filter 1 Freq=2000 Hz", "Filter 2 Freq=3000 Hz", "Delay L Feedback=0.5", "Delay R Feedback=0.5"}});
    list.push_back({"stretch-modulated",
                    {"Delay Buffer Read Style=Stretch", "Num Active XLFOs=1", "XLFO 1 Frequency=0.5 Hz",
                     "Num Active Slots=1", "Slot 1 Source=XLFO 1", "Slot 1 Target=Delay 1 Time", "Slot 1 Level=0.5",
                     "Delay L Feedback=0.5", "Delay R Feedback=0.5"}});
    Scenario heavy{"heavy",
                   {"Delay Buffer Read Style=Stretch", "Filter 1 Slope=48", "Filter 2 Slope=48", "Filter 1 Peak=0.7",
                    "Filter 2 Peak=0.7", "Delay L Feedback=0.6", "Delay R Feedback=0.6", "Delay L Cross Feedback=0.3",
                    "Num Active XY Controllers=4", "Num Active XLFOs=6", "Num Active EGs=6", "Num Active EFs=4",
                    "Num Active MIDI Sources=10", "Num Active Slots=24"},
                   false, true, true};
    const char* sources[] = {"XLFO 1", "XLFO 2", "XLFO 3", "XLFO 4", "XLFO 5", "XLFO 6", "EG 1",  "EG 2",
                             "EG 3",   "EG 4",   "EG 5",   "EG 6",   "EF 1",   "EF 2",   "EF 3",  "EF 4",
                             "MIDI 1", "MIDI 2", "MIDI 3", "XY 1 Hor", "XY 2 Ver", "XY 3 Hor", "XLFO 1", "EG 1"};
    const char* targets[] = {"Delay 1 Time", "Delay 2 Time", "Delay 1 Feedback", "Delay 2 Feedback", "Delay 1 Pan",
                             "Delay 2 Pan",  "Filter 1 Freq", "Filter 2 Freq",  "Filter 1 Peak",   "Filter 2 Peak",
                             "Filter 1 Pan", "Filter 2 Pan",  "XLFO 2 Freq",    "XLFO 3 Freq",     "Delay 1 Offset",
                             "Delay 2 Offset", "Delay 1 Cross Feedback", "Delay 2 Cross Feedback", "XLFO 4 Freq",
                             "XLFO 5 Freq", "XLFO 6 Freq", "Filter 1 Freq", "Filter 2 Freq", "Delay 1 Time"};
    for (int n = 1; n <= 6; ++n) heavy.settings.push_back("XLFO " + std::to_string(n) + " Frequency=" + std::to_string(40 * n) + " Hz");
    for (int s = 0; s < 24; ++s) {
        std::string slot = "Slot " + std::to_string(s + 1);
        heavy.settings.push_back(slot + " Source=" + sources[s]);
        heavy.settings.push_back(slot + " Target=" + targets[s]);
        heavy.settings.push_back(slot + " Level=0.3");
    }
    for (int n = 1; n <= 6; ++n) heavy.settings.push_back("EG " + std::to_string(n) + " Triggering=MIDI");
    list.push_back(heavy);
    return list;
}

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

}  // namespace

int main(int argc, char** argv) {
    double seconds = 1.0;
    int passes = 3;
    std::vector<std::string> only;
    std::vector<double> rates;
    std::vector<int> blocks, conserves;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!v) {
            std::fprintf(stderr, "lorimane-bench: %s needs a value\n", a.c_str());
            return 2;
        }
        ++i;
        if (a == "--seconds") seconds = std::atof(v);
        else if (a == "--passes") passes = std::atoi(v);
        else if (a == "--scenario") only.push_back(v);
        else if (a == "--rate") rates.push_back(std::atof(v));
        else if (a == "--block") blocks.push_back(std::atoi(v));
        else if (a == "--conserve") conserves.push_back(std::atoi(v));
        else {
            std::fprintf(stderr, "lorimane-bench: unknown option '%s'\n", a.c_str());
            return 2;
        }
    }
    if (rates.empty()) rates = {44100, 48000, 96000};
    if (blocks.empty()) blocks = {32, 128, 512, 4096};
    if (conserves.empty()) conserves = {0, 2};
    if (seconds <= 0 || passes <= 0) return 2;

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
    GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings();

    std::printf("%-18s %7s %6s %8s %12s %11s %14s %8s\n", "scenario", "rate", "block", "conserve", "ns/sample",
                "realtime x", "worst block us", "ratio");
    for (int conserve : conserves)
        for (double rate : rates)
            for (int block : blocks) {
                double defaultCost = 0;
                std::vector<std::vector<float>> input = makeInput(rate, seconds);
                size_t frames = input[0].size();
                for (const Scenario& scenario : scenarios()) {
                    if (!only.empty() && std::find(only.begin(), only.end(), scenario.name) == only.end() &&
                        scenario.name != "default")
                        continue;
                    if (shared) shared->conserveMemory = conserve;
                    auto instance = host.createInstance(0, static_cast<float>(rate), error);
                    if (!instance) {
                        std::fprintf(stderr, "lorimane-bench: %s\n", error.c_str());
                        return 2;
                    }
                    GenericPlugin& plugin = *static_cast<AaxPluginAdapter&>(instance->effect()).plugin();
                    for (const std::string& s : scenario.settings)
                        if (!applySetting(plugin, s, error)) {
                            std::fprintf(stderr, "lorimane-bench: %s: %s\n", scenario.name.c_str(), error.c_str());
                            return 2;
                        }
                    if (scenario.bypassed) instance->setMasterBypass(true);
                    instance->requestReset();
                    std::vector<float> outL(block), outR(block);
                    float* outs[2] = {outL.data(), outR.data()};
                    std::mt19937 random(5);
                    std::vector<double> passNs;
                    double worst = 0;
                    // One untimed pass settles fades and ramps; then the timed passes.
                    for (int pass = 0; pass <= passes; ++pass) {
                        double total = 0;
                        size_t nextNote = 0;
                        for (size_t pos = 0; pos < frames; pos += block) {
                            int n = static_cast<int>(std::min<size_t>(block, frames - pos));
                            while (scenario.notes && nextNote < pos + n) {
                                instance->addMidi(0x90, static_cast<uint8_t>(48 + random() % 24), 100,
                                                  static_cast<uint32_t>(nextNote - pos));
                                nextNote += static_cast<size_t>(rate * 0.01);
                            }
                            if (scenario.automation) instance->automate("6", std::uniform_real_distribution<double>(0, 1)(random));
                            const float* ins[3] = {input[0].data() + pos, input[1].data() + pos, input[2].data() + pos};
                            auto start = std::chrono::steady_clock::now();
                            instance->render(ins, outs, n);
                            double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
                            total += ns;
                            if (pass > 0) worst = std::max(worst, ns);
                        }
                        if (pass > 0) passNs.push_back(total / frames);
                    }
                    std::sort(passNs.begin(), passNs.end());
                    double median = passNs[passNs.size() / 2];
                    if (scenario.name == "default") defaultCost = median;
                    std::printf("%-18s %7.0f %6d %8d %12.2f %11.0f %14.1f %8.3f\n", scenario.name.c_str(), rate, block, conserve,
                                median, 1e9 / rate / median, worst / 1000, defaultCost > 0 ? median / defaultCost : 0.0);
                    std::fflush(stdout);
                }
            }
    return 0;
}
