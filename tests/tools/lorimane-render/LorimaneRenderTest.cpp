#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "engine/HeavySetting.h"
#include "AudioThreadGuard.h"
#include "engine/LorimanePlugin.h"
#include "tools/lorimane-render/AudioFile.h"
#include "tools/lorimane-render/DemoPhrase.h"
#include "tools/lorimane-render/RenderCommand.h"

namespace fs = std::filesystem;

namespace {

// Renders through the renderer's own command, in process.
class LorimaneRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("lorimane-engine-render-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::string impulseFile(double rate, std::size_t at = 100) {
        AudioBuffer impulse;
        impulse.sampleRate = rate;
        impulse.channels.assign(2, std::vector<float>(std::size_t(rate * 0.2), 0.0f));
        impulse.channels[0][at] = 1.0f;
        impulse.channels[1][at] = 1.0f;
        std::string name = path("impulse-" + std::to_string(int(rate)) + ".wav");
        std::string error;
        EXPECT_TRUE(writeAudioFile(name, impulse, error)) << error;
        return name;
    }
    AudioBuffer render(std::vector<std::string> args, const std::string& output) {
        args.push_back(path(output));
        std::ostringstream out, err;
        EXPECT_EQ(renderCommand(args, out, err, false), 0) << err.str();
        AudioBuffer audio;
        std::string error;
        EXPECT_TRUE(readAudioFile(path(output), audio, error)) << error;
        return audio;
    }
    static std::vector<std::string> withSettings(std::vector<std::string> args,
                                                 const std::vector<std::string>& settings) {
        for (const std::string& s : settings) {
            args.push_back("--set");
            args.push_back(s);
        }
        return args;
    }

    fs::path dir;
};

std::size_t loudest(const std::vector<float>& s) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < s.size(); ++i)
        if (std::fabs(s[i]) > std::fabs(s[best])) best = i;
    return best;
}

}  // namespace

TEST_F(LorimaneRenderTest, AnImpulseComesOutAfterTheDelayTimeAtEverySampleRate) {
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        AudioBuffer out = render({"--tail", "0.3", "--set", "Delay L Time=350 ms", "--set",
                                  "Delay R Time=350 ms", "--set", "Dry Enabled=Disabled", impulseFile(rate)},
                                 "echo.wav");
        double expected = 100.0 + 0.350 * rate;
        for (int c = 0; c < 2; ++c)
            EXPECT_LE(std::fabs(double(loudest(out.channels[std::size_t(c)])) - expected), 1.0)
                << rate << " Hz, channel " << c;
    }
}

TEST_F(LorimaneRenderTest, FeedbackDecaysByItsEngineValuePerRepeat) {
    std::unique_ptr<GenericPlugin> reference = makeRenderPlugin();
    auto& feedback = static_cast<LorimanePlugin&>(*reference).delays.set(0).feedback;
    float plain = 0.0f;
    ASSERT_TRUE(feedback.textToPlain("50%", plain));
    float gain = feedback.engineValue(plain);

    AudioBuffer out = render(withSettings({"--tail", "1", impulseFile(48000.0)},
                                          {"Delay L Time=100 ms", "Delay L Feedback=50%",
                                           "Dry Enabled=Disabled", "Filter 1 Enabled=Disabled",
                                           "Filter 2 Enabled=Disabled", "Delay L Pan=-1", "Delay R Pan=1"}),
                             "feedback.wav");
    const std::vector<float>& left = out.channels[0];
    float previous = 0.0f;
    for (int k = 1; k <= 5; ++k) {
        // The repeat may sit a sample early: the typed time passes through the parameter's taper.
        std::size_t at = std::size_t(100 + k * 4800);
        float echo = std::fabs(left[at]) > std::fabs(left[at - 1]) ? left[at] : left[at - 1];
        if (k > 1) {
            EXPECT_NEAR(echo / previous, gain, 1e-4f) << "repeat " << k;
        }
        previous = echo;
    }
    EXPECT_NEAR(previous, std::pow(gain, 4.0f), 1e-4f);
}

TEST_F(LorimaneRenderTest, HostBlockLengthDoesNotChangeTheOutputWithoutModulation) {
    std::vector<std::string> settings = {
        "Delay L Feedback=0.7",  "Delay R Cross Feedback=0.5", "Delay Buffer Read Style=Stretch",
        "Filter 1 Freq=2000 Hz", "Filter 1 Peak=0.6",          "Channel Mode=Mid/Side",
        "Delay S Sync=Half Note"};  // the second delay's name in Mid/Side mode
    AudioBuffer a = render(withSettings({"--tail", "1", "--block", "32"}, settings), "a.wav");
    AudioBuffer b = render(withSettings({"--tail", "1", "--block", "4096"}, settings), "b.wav");
    EXPECT_EQ(a.channels, b.channels);
}

TEST_F(LorimaneRenderTest, RenderingAllocatesNothingEvenWithEverySourceAndSlotInUse) {
    std::unique_ptr<GenericPlugin> plugin = makeRenderPlugin();
    std::string error;
    for (const std::string& s : heavySetting()) ASSERT_TRUE(applySetting(*plugin, s, error)) << error;
    auto& lorimane = static_cast<LorimanePlugin&>(*plugin);
    AudioBuffer input = makeDemoPhrase(48000);
    BlockRenderer renderer(*plugin, input, &input, input.frames(), 300, 120.0);
    AudioThreadGuard guard;
    while (renderer.renderNext()) {
    }
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
    for (int s = 0; s < 24; ++s) EXPECT_TRUE(lorimane.matrix().isSlotActive(s)) << "slot " << s + 1;
    float peak = 0.0f;
    for (const auto& channel : renderer.output().channels)
        for (float x : channel) {
            ASSERT_TRUE(std::isfinite(x));
            peak = std::max(peak, std::fabs(x));
        }
    EXPECT_GT(peak, 0.01f);
}
