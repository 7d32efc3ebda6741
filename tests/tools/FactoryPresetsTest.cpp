// Every factory preset played with the demo phrase: what a user hears first when trying them.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <set>
#include <thread>

#include "engine/LorimanePlugin.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/PresetManager.h"
#include "tools/lorimane-render/DemoPhrase.h"
#include "tools/lorimane-render/RenderCommand.h"

namespace {

constexpr double kRate = 48000;
constexpr float kSilence = 1e-4f;     // -80 dBFS
constexpr float kLoudest = 1.9953f;   // +6 dBFS
constexpr double kTailLimit = 30.0;   // seconds after the phrase
constexpr double kQuietProof = 5.1;   // longer than the longest delay time: nothing left to repeat
constexpr size_t kWindow = 2400;      // 50 ms, for comparing presets
constexpr double kCompared = 8.0;     // seconds compared

// Presets in this category hold what they are given, like the Freeze switch.
const char* const kHoldingCategory = "Freeze";

// A hi-hat-like tick every quarter second for the side chain, so keyed presets have a key.
AudioBuffer sideChainTicks(size_t frames) {
    AudioBuffer ticks;
    ticks.sampleRate = kRate;
    ticks.channels.assign(2, std::vector<float>(frames, 0.0f));
    uint32_t seed = 1;
    for (size_t start = 0; start + 1440 < frames && start < 4 * kRate; start += kRate / 4)
        for (size_t i = 0; i < 1440; ++i) {
            seed = seed * 1664525u + 1013904223u;
            float s = 0.5f * ((seed >> 8) / 8388608.0f - 1.0f) * std::exp(-static_cast<float>(i) / 400.0f);
            ticks.channels[0][start + i] = ticks.channels[1][start + i] = s;
        }
    return ticks;
}

struct Result {
    std::string name, category;
    bool finite = true;
    float peak = 0.0f;
    double tailSeconds = 0.0;  // how long after the phrase until the output stayed quiet; -1 never
    std::vector<float> fingerprint;  // per 50 ms window and channel: level and brightness in dB
};

float db(double power) { return static_cast<float>(10.0 * std::log10(std::max(power, 1e-10))); }

// Plays the phrase with a held MIDI note (for the presets that answer to notes) and listens until
// the tail has stayed quiet for longer than any delay time, or the limit.
void play(GenericPlugin& plugin, const AudioBuffer& phrase, const AudioBuffer& ticks, Result& r) {
    const size_t phraseEnd = phrase.frames();
    const size_t total = phraseEnd + static_cast<size_t>(kTailLimit * kRate);
    const size_t proof = static_cast<size_t>(kQuietProof * kRate);
    plugin.setSampleRate(static_cast<float>(kRate));
    plugin.reset();
    BlockRenderer renderer(plugin, phrase, &ticks, total, 480, 120.0);
    size_t position = 0, lastLoud = 0;
    plugin.receiveMidi({0x90, 60, 100, 0, 0});
    while (renderer.renderNext()) {
        size_t end = std::min(position + 480, total);
        if (position < size_t(2 * kRate) && end >= size_t(2 * kRate)) plugin.receiveMidi({0x80, 60, 0, 0, 0});
        for (size_t i = position; i < end; ++i)
            for (const auto& channel : renderer.output().channels) {
                float s = channel[i];
                r.finite = r.finite && std::isfinite(s);
                r.peak = std::max(r.peak, std::fabs(s));
                if (std::fabs(s) > kSilence) lastLoud = i;
            }
        position = end;
        if (position > phraseEnd && position > lastLoud + proof && position > size_t(kCompared * kRate)) break;
    }
    r.tailSeconds = position > lastLoud + proof ? std::max(0.0, (double(lastLoud) - double(phraseEnd)) / kRate) : -1.0;
    const AudioBuffer& out = renderer.output();
    for (const auto& channel : out.channels)
        for (size_t w = 0; w + kWindow <= size_t(kCompared * kRate); w += kWindow) {
            double level = 0, edge = 0;
            for (size_t i = w + 1; i < w + kWindow; ++i) {
                level += channel[i] * channel[i];
                edge += (channel[i] - channel[i - 1]) * (channel[i] - channel[i - 1]);
            }
            r.fingerprint.push_back(db(level / kWindow));
            r.fingerprint.push_back(db(edge / kWindow));
        }
}

// Mean difference of two fingerprints in dB.
float difference(const Result& a, const Result& b) {
    double sum = 0;
    for (size_t i = 0; i < a.fingerprint.size(); ++i) sum += std::fabs(a.fingerprint[i] - b.fingerprint[i]);
    return static_cast<float>(sum / a.fingerprint.size());
}

}  // namespace

TEST(FactoryPresetsTest, EveryPresetPlaysCleanlyDiesAwayAndSoundsLikeNoOther) {
    std::unique_ptr<GenericPlugin> first = makeRenderPlugin();  // installs the factory content
    PresetManager& presets = PersistenceGlobals::instance()->mainPresets();
    std::vector<PresetEntry*> entries = presets.flatten();
    ASSERT_GE(entries.size(), 60u);
    std::set<std::string> categories;

    // One instance per preset, loaded here (presets load on the UI thread), played on workers.
    std::vector<std::unique_ptr<GenericPlugin>> plugins;
    std::vector<Result> results(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        results[i].name = entries[i]->name;
        std::filesystem::path folder = std::filesystem::path(entries[i]->path).parent_path();
        results[i].category = folder == std::filesystem::path(presets.path()).parent_path() ? "" : folder.filename().string();
        if (!results[i].category.empty()) categories.insert(results[i].category);
        plugins.push_back(makeRenderPlugin());
        ASSERT_TRUE(plugins.back()->loadPreset(entries[i]->record())) << entries[i]->path;
    }
    EXPECT_GE(categories.size(), 8u);

    const AudioBuffer phrase = makeDemoPhrase(kRate);
    const AudioBuffer ticks = sideChainTicks(phrase.frames());
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < std::max(2u, std::thread::hardware_concurrency()); ++w)
        workers.emplace_back([&] {
            for (size_t i; (i = next++) < entries.size();) play(*plugins[i], phrase, ticks, results[i]);
        });
    for (std::thread& t : workers) t.join();

    for (const Result& r : results) {
        EXPECT_TRUE(r.finite) << r.name;
        EXPECT_LE(r.peak, kLoudest) << r.name << " peaks at " << 20 * std::log10(r.peak) << " dBFS";
        EXPECT_GT(r.peak, kSilence) << r.name;
        if (r.category == kHoldingCategory)
            EXPECT_LT(r.tailSeconds, 0.0) << r.name << " should hold its sound but dies after " << r.tailSeconds << " s";
        else
            EXPECT_GE(r.tailSeconds, 0.0) << r.name << " still sounds " << kTailLimit << " s after the phrase";
    }
    // Half a decibel on average over the first seconds: far beyond what a small engine change moves,
    // far below what another setting makes.
    for (size_t a = 0; a < results.size(); ++a)
        for (size_t b = a + 1; b < results.size(); ++b)
            EXPECT_GT(difference(results[a], results[b]), 0.5f) << results[a].name << " and " << results[b].name << " sound alike";
}
