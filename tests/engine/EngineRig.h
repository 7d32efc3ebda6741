#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AudioThreadGuard.h"
#include "engine/LorimanePlugin.h"

// A delay engine driven as a host drives it: sample rate, transport before every host block, then
// process; every block runs under the audio-thread guard.
class EngineRig {
public:
    using Stereo = std::array<std::vector<float>, 2>;

    explicit EngineRig(float rate = 48000.0f, int block = 128) : block_(block) {
        plugin = std::make_unique<LorimanePlugin>();
        plugin->setSampleRate(rate);
        plugin->setTransport(tempo, 0.0f);
    }

    AbstractPluginParameter& parameter(const std::string& name) {
        for (int i = 0; i < plugin->getParameterCount(); ++i)
            if (plugin->getParameter(i)->name() == name) return *plugin->getParameter(i);
        ADD_FAILURE() << "no parameter " << name;
        return *plugin->getParameter(0);
    }
    // Sets a parameter from typed text, as the editor's text entry does.
    void set(const std::string& name, const std::string& text) {
        AbstractPluginParameter& p = parameter(name);
        float plain = 0.0f;
        ASSERT_TRUE(p.textToPlain(text, plain)) << name << " = " << text;
        p.setValue(plain, 0);
    }
    // Settings made so far take effect at once, as after a host reset.
    void settle() { plugin->reset(); }

    // Wet signal only, without filters, each delay line panned to its own channel: echoes come out
    // exactly as the delay lines hold them.
    void isolateDelays() {
        set("Dry Enabled", "Disabled");
        set("Filter 1 Enabled", "Disabled");
        set("Filter 2 Enabled", "Disabled");
        set("Delay " + letter(0) + " Pan", "-1");
        set("Delay " + letter(1) + " Pan", "1");
    }
    std::string letter(int d) const { return std::string(1, plugin->getParameter(d * 7)->name()[6]); }

    // Processes the input (and side chain) in host blocks; answers the output.
    Stereo process(const Stereo& in, const Stereo* side = nullptr) {
        std::size_t n = in[0].size();
        Stereo out{std::vector<float>(n), std::vector<float>(n)};
        AudioThreadGuard guard;
        for (std::size_t pos = 0; pos < n; pos += std::size_t(block_)) {
            int count = int(std::min<std::size_t>(std::size_t(block_), n - pos));
            const float* inputs[4] = {in[0].data() + pos, in[1].data() + pos,
                                      side ? (*side)[0].data() + pos : nullptr,
                                      side ? (*side)[1].data() + pos : nullptr};
            float* outputs[2] = {out[0].data() + pos, out[1].data() + pos};
            plugin->setTransport(tempo, position);
            plugin->process(inputs, side ? 4 : 2, outputs, 2, count);
            position += float(count) * float(tempo) / (60.0f * plugin->environment().sampleRate());
        }
        EXPECT_EQ(guard.allocations(), 0);
        if (AudioThreadGuard::countsLocks()) {
            EXPECT_EQ(guard.locks(), 0);
        }
        return out;
    }
    Stereo silence(std::size_t n) const { return {std::vector<float>(n), std::vector<float>(n)}; }
    Stereo impulse(std::size_t n, float left = 1.0f, float right = 1.0f) const {
        Stereo s = silence(n);
        s[0][0] = left;
        s[1][0] = right;
        return s;
    }
    // Seeded white noise within -level .. level, the same on every run.
    Stereo noise(std::size_t n, float level, uint32_t seed) const {
        Stereo s = silence(n);
        for (auto& channel : s)
            for (float& v : channel) {
                seed = seed * 1664525u + 1013904223u;
                v = level * (float(seed >> 8) / float(1u << 23) - 1.0f);
            }
        return s;
    }
    int samples(double ms) const { return int(ms * plugin->environment().sampleRate() / 1000.0 + 0.5); }

    std::unique_ptr<LorimanePlugin> plugin;
    double tempo = 120.0;
    float position = 0.0f;

private:
    int block_;
};
