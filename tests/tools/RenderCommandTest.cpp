#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AudioThreadGuard.h"
#include "TemporaryFolder.h"
#include "tools/lorimane-render/AudioFile.h"
#include "tools/lorimane-render/DemoPhrase.h"
#include "tools/lorimane-render/RenderCommand.h"

namespace fs = std::filesystem;

namespace {

class RenderCommandTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder / name; }

    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return renderCommand(args, out, err, false);
    }
    AudioBuffer read(const std::string& name) {
        AudioBuffer audio;
        std::string error;
        EXPECT_TRUE(readAudioFile(path(name), audio, error)) << error;
        return audio;
    }

    TemporaryFolder folder;
    std::ostringstream out, err;
};

}  // namespace

TEST_F(RenderCommandTest, RendersTheDemoWithItsTailAndPlot) {
    ASSERT_EQ(run({"--rate", "44100", "--tail", "1", "--plot", path("demo.png"), path("demo.wav")}), 0) << err.str();
    AudioBuffer audio = read("demo.wav");
    EXPECT_EQ(audio.sampleRate, 44100.0);
    ASSERT_EQ(audio.channels.size(), 2u);
    EXPECT_EQ(audio.frames(), makeDemoPhrase(44100.0).frames() + 44100);
    EXPECT_NE(out.str().find("demo.wav"), std::string::npos);
    EXPECT_NE(out.str().find("peak"), std::string::npos);
    std::ifstream png(path("demo.png"), std::ios::binary);
    char magic[8] = {};
    png.read(magic, 8);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    EXPECT_FALSE(fs::exists(path("demo.wav.part")));
}

TEST_F(RenderCommandTest, MonoInputFeedsBothChannelsAndSettingsApplyFromTheFirstSample) {
    AudioBuffer mono;
    mono.sampleRate = 48000;
    mono.channels.assign(1, std::vector<float>(1000, 0.5f));
    std::string error;
    ASSERT_TRUE(writeAudioFile(path("mono.wav"), mono, error));
    // Without the wet signal the output is the dry signal at half its level.
    ASSERT_EQ(run({"--tail", "0", "--set", "Dry Level=0.5x", "--set", "Wet Level=0%", path("mono.wav"),
                   path("out.wav")}),
              0)
        << err.str();
    AudioBuffer audio = read("out.wav");
    ASSERT_EQ(audio.frames(), 1000u);
    EXPECT_NEAR(audio.channels[0][0], 0.25f, 1e-6f);
    EXPECT_EQ(audio.channels[0], audio.channels[1]);
}

TEST_F(RenderCommandTest, HostBlockLengthDoesNotChangeTheResult) {
    ASSERT_EQ(run({"--tail", "0.5", "--block", "32", path("a.wav")}), 0);
    ASSERT_EQ(run({"--tail", "0.5", "--block", "4096", path("b.wav")}), 0);
    EXPECT_EQ(read("a.wav").channels, read("b.wav").channels);
}

TEST_F(RenderCommandTest, RefusesBadRequestsWithOneLineAndWritesNothing) {
    AudioBuffer stereo = makeDemoPhrase(8000);
    std::string error;
    ASSERT_TRUE(writeAudioFile(path("in.wav"), stereo, error));
    std::ofstream(path("garbage.wav")) << "not audio";
    const std::vector<std::vector<std::string>> cases = {
        {"--frobnicate", path("x.wav")},
        {},
        {path("in.wav"), path("x.wav"), path("y.wav")},
        {path("missing.wav"), path("x.wav")},
        {path("garbage.wav"), path("x.wav")},
        {"--set", "No Such Knob=1", path("x.wav")},
        {"--set", "Dry Level=loud", path("x.wav")},
        {"--set", "Dry Level", path("x.wav")},
        {"--block", "0", path("x.wav")},
        {"--block", "12.5", path("x.wav")},
        {"--rate", "fast", path("x.wav")},
        {"--preset", path("in.wav"), path("x.wav")},
        {"--side-chain", path("missing.wav"), path("x.wav")},
        {"--tail"},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(run(args), 2) << joined;
        std::string message = err.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << joined << message;
        EXPECT_EQ(message.rfind("lorimane-render: ", 0), 0u) << message;
        EXPECT_FALSE(fs::exists(path("x.wav"))) << joined;
        EXPECT_FALSE(fs::exists(path("x.wav.part"))) << joined;
    }
}

TEST_F(RenderCommandTest, ListsEveryParameterOnOneLine) {
    ASSERT_EQ(run({"--list-parameters"}), 0);
    std::string first = "0\tDelay L Time\t350.0 ms\t5.0 ms\t5000.0 ms\t350.0 ms\n";
    EXPECT_EQ(out.str().substr(0, first.size()), first);
    ASSERT_EQ(run({"--set", "Delay L Time=500 ms", "--list-parameters"}), 0);
    EXPECT_EQ(out.str().substr(0, 24), "0\tDelay L Time\t500.0 ms\t");
}

TEST_F(RenderCommandTest, MidSideModeNamesTheDelaysBeforeAnyBlockRuns) {
    ASSERT_EQ(run({"--set", "Channel Mode=Mid/Side", "--set", "Delay M Time=500 ms", "--list-parameters"}), 0)
        << err.str();
    EXPECT_EQ(out.str().substr(0, 24), "0\tDelay M Time\t500.0 ms\t");
    EXPECT_NE(out.str().find("\tDelay S Time\t"), std::string::npos);
    EXPECT_EQ(out.str().find("Delay L "), std::string::npos);
}

TEST_F(RenderCommandTest, RenderingAllocatesNothingOnTheAudioThread) {
    std::unique_ptr<GenericPlugin> plugin = makeRenderPlugin();
    // Without echoes the output is the dry input itself.
    std::string error;
    ASSERT_TRUE(applySetting(*plugin, "Wet Level=0%", error)) << error;
    AudioBuffer input = makeDemoPhrase(48000);
    BlockRenderer renderer(*plugin, input, &input, input.frames(), 300, 120.0);
    AudioThreadGuard guard;
    while (renderer.renderNext()) {
    }
    EXPECT_EQ(guard.allocations(), 0);
    EXPECT_EQ(guard.locks(), 0);
    EXPECT_EQ(renderer.output().channels[0], input.channels[0]);
}
