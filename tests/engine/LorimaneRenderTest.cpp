#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <sstream>

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

// Every source in use, all 24 slots modulating engine targets, 48 dB filters and Stretch reading.
std::vector<std::string> heavySettings() {
    std::vector<std::string> s = {"Num Active XY Controllers=4",
                                  "Num Active XLFOs=6",
                                  "Num Active EGs=6",
                                  "Num Active EFs=4",
                                  "Num Active MIDI Sources=10",
                                  "Num Active Slots=24",
                                  "Delay Buffer Read Style=Stretch",
                                  "Filter 1 Slope=48",
                                  "Filter 2 Slope=48",
                                  "Filter 1 Freq=3000 Hz",
                                  "Filter 2 Freq=800 Hz",
                                  "Filter Routing=Parallel",
                                  "Delay L Feedback=0.6",
                                  "Delay R Cross Feedback=0.4"};
    const char* sources[] = {"XLFO 1", "XLFO 2",   "XLFO 3",   "XLFO 4",   "XLFO 5", "XLFO 6",
                             "EG 1",   "EG 2",     "EG 3",     "EG 4",     "EG 5",   "EG 6",
                             "EF 1",   "EF 2",     "EF 3",     "EF 4",     "MIDI 1", "MIDI 2",
                             "MIDI 3", "XY 1 Hor", "XY 1 Ver", "XY 2 Hor", "XLFO 1", "EF 1"};
    const char* targets[] = {"Delay 1 Time",  "Delay 2 Time", "Filter 1 Freq", "Filter 2 Freq",
                             "Filter 1 Peak", "Delay 1 Pan",  "Delay 2 Pan",   "Filter 1 Pan",
                             "Wet Level",     "Dry Pan",      "Input Level",   "Delay 1 Feedback"};
    for (int n = 0; n < 24; ++n) {
        std::string slot = "Slot " + std::to_string(n + 1);
        s.push_back(slot + " Source=" + sources[n]);
        s.push_back(slot + " Target=" + targets[n % 12]);
        s.push_back(slot + " Level=0.3");
    }
    return s;
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
        "Delay R Sync=Half Note"};
    AudioBuffer a = render(withSettings({"--tail", "1", "--block", "32"}, settings), "a.wav");
    AudioBuffer b = render(withSettings({"--tail", "1", "--block", "4096"}, settings), "b.wav");
    EXPECT_EQ(a.channels, b.channels);
}

TEST_F(LorimaneRenderTest, RenderingAllocatesNothingEvenWithEverySourceAndSlotInUse) {
    std::unique_ptr<GenericPlugin> plugin = makeRenderPlugin();
    std::string error;
    for (const std::string& s : heavySettings()) ASSERT_TRUE(applySetting(*plugin, s, error)) << error;
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
