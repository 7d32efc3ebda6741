#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
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

TEST_F(RenderCommandTest, TheOutputFormatFollowsTheFileName) {
    struct Case {
        std::string name;
        std::vector<std::string> bits;
        int format;  // libsndfile major and subtype read back
    };
    const Case cases[] = {
        {"a.wav", {}, SF_FORMAT_WAV | SF_FORMAT_PCM_24},       {"b.wav", {"--bits", "16"}, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"c.wav", {"--bits", "32f"}, SF_FORMAT_WAV | SF_FORMAT_FLOAT}, {"d.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"e.flac", {"--bits", "16"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16}, {"f.ogg", {}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"g.aiff", {}, SF_FORMAT_AIFF | SF_FORMAT_PCM_24},     {"h.caf", {"--bits", "32f"}, SF_FORMAT_CAF | SF_FORMAT_FLOAT},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--rate", "44100", "--tail", "0.25"};
        args.insert(args.end(), c.bits.begin(), c.bits.end());
        args.push_back(path(c.name));
        ASSERT_EQ(run(args), 0) << c.name << ": " << err.str();
        SF_INFO info{};
        SNDFILE* file = sf_open(path(c.name).c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << c.name;
        sf_close(file);
        EXPECT_EQ(info.format, c.format) << c.name;
        EXPECT_EQ(info.samplerate, 44100) << c.name;
        EXPECT_EQ(info.channels, 2) << c.name;
        EXPECT_EQ(static_cast<size_t>(info.frames), makeDemoPhrase(44100).frames() + 11025) << c.name;
    }
    // Names and bits the formats cannot take are refused before anything is rendered.
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {path("x.mp3")}, {"--bits", "32f", path("x.flac")}, {"--bits", "16", path("x.ogg")}, {"--bits", "8", path("x.wav")}}) {
        EXPECT_EQ(run(args), 2) << args.back();
        EXPECT_EQ(err.str().rfind("lorimane-render: ", 0), 0u);
        EXPECT_FALSE(fs::exists(args.back()));
    }
}

TEST_F(RenderCommandTest, FixedPointOutputIsClippedWithAWarningWhileFloatKeepsTheOvershoot) {
    // The demo phrase leaves 6 dB of headroom: rendered alone it writes a clean fixed-point file.
    EXPECT_NEAR(makeDemoPhrase(48000).peak(), 0.5012f, 1e-4f);
    ASSERT_EQ(run({"--tail", "0", "--bits", "16", path("clean.wav")}), 0);
    EXPECT_EQ(err.str(), "");

    // An input beyond full scale, passed through dry.
    AudioBuffer loud;
    loud.sampleRate = 48000;
    loud.channels.assign(2, std::vector<float>(4800));
    for (size_t i = 0; i < 4800; ++i) loud.channels[0][i] = loud.channels[1][i] = 1.5f * std::sin(0.01f * i);
    std::string error;
    ASSERT_TRUE(writeAudioFile(path("loud.wav"), loud, error));
    const std::vector<std::string> dry = {"--tail", "0", "--set", "Wet Level=0%"};
    auto render = [&](const std::string& bits, const std::string& name) {
        std::vector<std::string> args = dry;
        args.insert(args.end(), {"--bits", bits, path("loud.wav"), path(name)});
        return run(args);
    };
    ASSERT_EQ(render("32f", "float.wav"), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    AudioBuffer reference = read("float.wav");
    ASSERT_GT(reference.peak(), 1.4f);

    ASSERT_EQ(render("16", "clipped.wav"), 0) << err.str();
    EXPECT_NE(err.str().find("warning"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("+3.5"), std::string::npos) << err.str();  // the peak, in dBFS
    AudioBuffer clipped = read("clipped.wav");
    // Clipped, not wrapped: beyond full scale the 16-bit file stays at full scale with the same sign.
    for (size_t i = 0; i < reference.frames(); ++i)
        ASSERT_NEAR(clipped.channels[0][i], std::clamp(reference.channels[0][i], -1.0f, 1.0f), 1.0f / 16384) << i;
}

TEST_F(RenderCommandTest, PresetsAreFoundByNameListedAndMistypedNamesGetSuggestions) {
    ASSERT_EQ(run({"--list-presets"}), 0);
    EXPECT_NE(out.str().find("Rhythmic\tDotted Eighth Bounce\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("-\tDefault Setting\n"), std::string::npos);

    ASSERT_EQ(run({"--tail", "0.5", "--preset", "Dotted Eighth Bounce", path("by-name.wav")}), 0) << err.str();
    ASSERT_EQ(run({"--tail", "0.5", "--preset", "rhythmic/dotted eighth bounce", path("qualified.wav")}), 0) << err.str();
    ASSERT_EQ(run({"--tail", "0.5", path("default.wav")}), 0) << err.str();
    EXPECT_EQ(read("by-name.wav").channels, read("qualified.wav").channels);
    EXPECT_NE(read("by-name.wav").channels, read("default.wav").channels);

    EXPECT_EQ(run({"--preset", "Doted Eigth Bounce", path("x.wav")}), 2);
    EXPECT_NE(err.str().find("did you mean 'Dotted Eighth Bounce'"), std::string::npos) << err.str();
    std::string message = err.str();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    EXPECT_FALSE(fs::exists(path("x.wav")));
}

TEST_F(RenderCommandTest, ABatchRendersEveryReadableInputAndReportsTheOthers) {
    AudioBuffer a = makeDemoPhrase(8000), b = makeDemoPhrase(22050);
    std::string error;
    ASSERT_TRUE(writeAudioFile(path("a.wav"), a, error));
    ASSERT_TRUE(writeAudioFile(path("b.flac"), b, error));
    std::ofstream(path("broken.wav")) << "not audio";
    ASSERT_EQ(run({"--tail", "0.5", "--set", "Delay L Feedback=0.5", path("a.wav"), path("broken.wav"), path("b.flac"), "-o",
                   path("out")}),
              2);
    EXPECT_NE(err.str().find("broken.wav"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("a.wav"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(path("out/broken.wav")));
    EXPECT_FALSE(fs::exists(path("out/broken.wav.part")));
    // Each written file is what a single run with the same settings writes.
    for (const std::string& name : {std::string("a.wav"), std::string("b.flac")}) {
        ASSERT_EQ(run({"--tail", "0.5", "--set", "Delay L Feedback=0.5", path(name), path("single-" + name)}), 0) << err.str();
        AudioBuffer batch = read("out/" + name), single = read("single-" + name);
        EXPECT_EQ(batch.sampleRate, single.sampleRate) << name;
        EXPECT_EQ(batch.channels, single.channels) << name;
    }
    ASSERT_EQ(run({path("a.wav"), path("b.flac"), "-o", path("out2")}), 0) << err.str();
    std::string written = out.str();
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 2) << written;
}
