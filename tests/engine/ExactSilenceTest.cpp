// After the input falls silent and the echoes have died away, the outputs are exact zeros, so hosts
// see the tail end: with every filter characteristic, every filter routing and high feedback.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "EngineRig.h"

TEST(ExactSilence, DecayedTailsEndInDigitalZero) {
    constexpr float kRate = 48000.0f;
    EngineRig probe(kRate, 512);
    AbstractPluginParameter& characteristicParameter = probe.parameter("Filter 1 Characteristic");
    AbstractPluginParameter& routingParameter = probe.parameter("Filter Routing");
    for (int routing = int(routingParameter.minValue()); routing <= int(routingParameter.maxValue()); ++routing) {
        for (int characteristic = int(characteristicParameter.minValue());
             characteristic <= int(characteristicParameter.maxValue()); ++characteristic) {
            EngineRig rig(kRate, 512);
            rig.parameter("Filter Routing").setValue(float(routing), 0);
            for (const char* filter : {"Filter 1", "Filter 2"}) {
                rig.parameter(std::string(filter) + " Characteristic").setValue(float(characteristic), 0);
                rig.set(std::string(filter) + " Enabled", "Enabled");
            }
            // Short echoes, so 20 s hold thousands of repeats and the tail's natural length ends in it.
            rig.set("Delay L Time", "5");
            rig.set("Delay R Time", "7");
            rig.set("Delay L Feedback", "0.9");
            rig.set("Delay R Feedback", "0.9");
            rig.settle();
            SCOPED_TRACE(routingParameter.plainToText(float(routing)) + ", " +
                         characteristicParameter.plainToText(float(characteristic)));

            rig.process(rig.noise(std::size_t(kRate / 2), 0.5f, 1));
            auto out = rig.process(rig.silence(std::size_t(20 * kRate)));
            std::size_t lastSecond = out[0].size() - std::size_t(kRate), nonZero = 0;
            float largest = 0.0f;
            for (const auto& channel : out)
                for (std::size_t i = lastSecond; i < channel.size(); ++i) {
                    nonZero += channel[i] != 0.0f;
                    largest = std::max(largest, std::fabs(channel[i]));
                }
            EXPECT_EQ(nonZero, 0u) << "largest " << largest;
        }
    }
}

// A strongly resonant cascade used to settle into a limit cycle near -150 dB that the feedback kept
// alive for ever. Once it has died away the loop runs on flagged silence: the delay lines read
// nothing and the filters rest.
TEST(ExactSilence, ResonantTailComesToRestAndStaysFlaggedSilent) {
    constexpr float kRate = 48000.0f;
    EngineRig rig(kRate, 128);
    for (const char* filter : {"Filter 1", "Filter 2"}) {
        rig.set(std::string(filter) + " Slope", "48");
        rig.set(std::string(filter) + " Peak", "0.9");
    }
    rig.set("Filter 1 Freq", "1500");
    rig.set("Filter 2 Freq", "2500");
    rig.set("Delay L Time", "5");
    rig.set("Delay R Time", "7");
    rig.set("Delay L Feedback", "0.8");
    rig.set("Delay R Feedback", "0.8");
    rig.settle();
    rig.process(rig.noise(std::size_t(kRate / 2), 0.9f, 7));
    auto out = rig.process(rig.silence(std::size_t(6 * kRate)));
    std::size_t nonZero = 0;
    for (const auto& channel : out)
        for (std::size_t i = out[0].size() - std::size_t(kRate); i < channel.size(); ++i) nonZero += channel[i] != 0.0f;
    EXPECT_EQ(nonZero, 0u);
    for (int c = 0; c < 2; ++c) EXPECT_TRUE(rig.plugin->channel(c).delayLine().isSilent()) << "channel " << c;
}
