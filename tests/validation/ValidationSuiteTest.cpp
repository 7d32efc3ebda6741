// The checks plug-in validators run, through both host adapters: every sample rate and a range of
// host block lengths, random parameter settings and automation from a fixed seed, and silence,
// full-scale noise, DC and noise in the denormal range (as a careless host may send) as input, each
// followed by a tail of silence. The output and, after the tail, both delay rings must stay finite
// and free of denormals, the audio thread must not allocate or lock, and a saved state must load
// and save again to the same bytes.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "AudioThreadGuard.h"
#include "engine/LorimanePlugin.h"
#include "host/aax/AaxPluginAdapter.h"
#include "host/lv2/Lv2Plugin.h"
#include "product/ProductPlugin.h"
#include "tools/aax-test-host/AaxTestHost.h"

namespace {

constexpr double kRates[] = {44100, 48000, 88200, 96000, 192000};
constexpr int kBlocks[] = {1, 7, 64, 512, 4096};
enum Signal { Silence, Noise, Dc, Denormals };
constexpr double kSecondsPerCase = 0.15;
constexpr double kTailSeconds = 0.25;  // silence after the input, before the delay rings are scanned

// The signal for `frames` samples, then `tail` samples of silence.
struct Input {
    Input(Signal s, size_t frames, size_t tail, uint32_t seed)
        : channels(4, std::vector<float>(frames + tail, 0.0f)) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> fullScale(-1.0f, 1.0f);
        for (auto& c : channels)
            for (size_t i = 0; i < frames; ++i)
                c[i] = s == Noise       ? fullScale(random)
                       : s == Dc        ? 1.0f
                       : s == Denormals ? fullScale(random) * 1e-39f
                                        : 0.0f;
    }
    std::vector<std::vector<float>> channels;
};

bool isDenormal(float x) {
    return x != 0.0f && std::fabs(x) < FLT_MIN;
}

// Counts what must never reach an output.
struct OutputCheck {
    long nonFinite = 0, denormal = 0;
    void scan(const float* s, int n) {
        for (int i = 0; i < n; ++i) {
            if (!std::isfinite(s[i]))
                ++nonFinite;
            else if (isDenormal(s[i]))
                ++denormal;
        }
    }
};

// Denormals and non-finite values stored in the two delay rings (what they hold since the last reset).
struct RingCheck {
    long nonFinite = 0, denormal = 0;
    explicit RingCheck(GenericPlugin& plugin) {
        auto* engine = dynamic_cast<LorimanePlugin*>(&plugin);
        EXPECT_TRUE(engine) << "the product plug-in is not the delay engine";
        if (!engine) return;
        for (int c = 0; c < 2; ++c) {
            const DelayLine& line = engine->channel(c).delayLine();
            const float* ring = line.ringSamples();
            for (int i = 0; i < line.filled(); ++i) {
                if (!std::isfinite(ring[i]))
                    ++nonFinite;
                else if (isDenormal(ring[i]))
                    ++denormal;
            }
        }
    }
};

// What one case must end with: nothing allocated or locked while rendering, nothing non-finite or
// denormal at the outputs or in the delay rings.
struct CaseCheck {
    long allocations = 0, locks = 0;
    OutputCheck output;
    // Runs one render call under the audio-thread guard and scans what it wrote.
    template <typename Render>
    void render(Render&& call, const float* left, const float* right, int n) {
        AudioThreadGuard guard;
        call();
        allocations += guard.allocations();
        locks += guard.locks();
        output.scan(left, n);
        output.scan(right, n);
    }
    void expectClean(GenericPlugin& plugin) const {
        EXPECT_EQ(allocations, 0);
        EXPECT_EQ(locks, 0);
        EXPECT_EQ(output.nonFinite, 0);
        EXPECT_EQ(output.denormal, 0);
        RingCheck rings(plugin);
        EXPECT_EQ(rings.nonFinite, 0);
        EXPECT_EQ(rings.denormal, 0);
    }
};

std::string caseName(double rate, int block, Signal s) {
    static const char* names[] = {"silence", "noise", "DC", "denormal noise"};
    return std::to_string(static_cast<int>(rate)) + " Hz, blocks of " + std::to_string(block) + ", " +
           names[s];
}

}  // namespace

TEST(Validation, ThroughTheAaxStyleAdapter) {
    AaxPluginAdapter::setPluginFactory(&makeProductPlugin);
    AaxTestHost host(&GetEffectDescriptions);
    ASSERT_EQ(host.describe(), AAX_SUCCESS);
    std::mt19937 random(2026);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (double rate : kRates)
        for (int block : kBlocks)
            for (Signal signal : {Silence, Noise, Dc, Denormals}) {
                SCOPED_TRACE(caseName(rate, block, signal));
                std::string error;
                auto instance = host.createInstance(0, static_cast<float>(rate), error);
                ASSERT_TRUE(instance) << error;
                const AAX_CParameterManager& params = instance->effect().parameters();
                // Random settings for every parameter but the master bypass.
                for (int p = 1; p < params.NumParameters(); ++p)
                    instance->automate(params.GetParameter(p)->Identifier(), unit(random));

                size_t frames = static_cast<size_t>(rate * (kSecondsPerCase + kTailSeconds));
                Input input(signal, static_cast<size_t>(rate * kSecondsPerCase),
                            frames - static_cast<size_t>(rate * kSecondsPerCase),
                            static_cast<uint32_t>(random()));
                std::vector<float> outL(block), outR(block);
                float* outs[2] = {outL.data(), outR.data()};
                CaseCheck check;
                for (size_t pos = 0; pos < frames; pos += block) {
                    int n = static_cast<int>(std::min<size_t>(block, frames - pos));
                    // Automation between blocks, as a host sends it.
                    if (params.NumParameters() > 1 && random() % 4 == 0)
                        instance->automate(
                            params.GetParameter(1 + random() % (params.NumParameters() - 1))->Identifier(),
                            unit(random));
                    const float* ins[3] = {input.channels[0].data() + pos, input.channels[1].data() + pos,
                                           input.channels[2].data() + pos};
                    check.render([&] { instance->render(ins, outs, n); }, outL.data(), outR.data(), n);
                }
                check.expectClean(*static_cast<AaxPluginAdapter&>(instance->effect()).plugin());

                // Save, load into a fresh instance, save again: the same bytes.
                AAX_Result r;
                auto saved = instance->saveChunks(r);
                ASSERT_EQ(r, AAX_SUCCESS);
                auto fresh = host.createInstance(0, static_cast<float>(rate), error);
                ASSERT_TRUE(fresh) << error;
                ASSERT_EQ(fresh->restoreChunks(saved), AAX_SUCCESS);
                auto again = fresh->saveChunks(r);
                ASSERT_EQ(again.size(), saved.size());
                for (size_t c = 0; c < saved.size(); ++c) EXPECT_EQ(again[c].fData, saved[c].fData);
            }
}

TEST(Validation, ThroughTheLv2Wrapper) {
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::mt19937 random(2027);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (double rate : kRates)
        for (int block : kBlocks)
            for (Signal signal : {Silence, Noise, Dc, Denormals}) {
                SCOPED_TRACE(caseName(rate, block, signal));
                std::string error;
                auto lv2 = Lv2Plugin::create(rate, nullptr, error);
                ASSERT_TRUE(lv2) << error;
                GenericPlugin& plugin = lv2->plugin();
                int count = plugin.getParameterCount();
                std::vector<float> controls(count);
                for (int p = 0; p < count; ++p) {
                    AbstractPluginParameter& param = *plugin.getParameter(p);
                    controls[p] = Lv2Plugin::portValue(param, param.normalizedToPlain(unit(random)));
                    lv2->connectPort(Lv2Plugin::kFirstParameter + p, &controls[p]);
                }
                size_t frames = static_cast<size_t>(rate * (kSecondsPerCase + kTailSeconds));
                Input input(signal, static_cast<size_t>(rate * kSecondsPerCase),
                            frames - static_cast<size_t>(rate * kSecondsPerCase),
                            static_cast<uint32_t>(random()));
                std::vector<float> outL(block), outR(block);
                float enabled = 1.0f;
                lv2->connectPort(Lv2Plugin::kOutputLeft, outL.data());
                lv2->connectPort(Lv2Plugin::kOutputRight, outR.data());
                lv2->connectPort(Lv2Plugin::kEnabled, &enabled);
                lv2->activate();
                CaseCheck check;
                for (size_t pos = 0; pos < frames; pos += block) {
                    int n = static_cast<int>(std::min<size_t>(block, frames - pos));
                    for (int port = 0; port < 4; ++port)
                        lv2->connectPort(
                            port < 2 ? Lv2Plugin::kInputLeft + port : Lv2Plugin::kSideChainLeft + port - 2,
                            input.channels[port].data() + pos);
                    if (count > 0 && random() % 4 == 0) {
                        int p = static_cast<int>(random() % count);
                        AbstractPluginParameter& param = *plugin.getParameter(p);
                        controls[p] = Lv2Plugin::portValue(param, param.normalizedToPlain(unit(random)));
                    }
                    check.render([&] { lv2->run(static_cast<uint32_t>(n)); }, outL.data(), outR.data(), n);
                }
                check.expectClean(plugin);
            }
}
