#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "ExternalHosts.h"
#include "TemporaryFolder.h"
#include "host/lv2/Lv2Turtle.h"
#include "tools/lorimane-render/AudioFile.h"

namespace fs = std::filesystem;

// A real-time host: a JACK server on its dummy backend, jalv hosting the plug-in, a click source
// and a recorder. The recording holds the plug-in's output and the click, side by side.
TEST(Lv2RealTime, JalvRunsThePlugInInAJackGraph) {
    LORIMANE_SKIP_WITHOUT_EXTERNAL_HOSTS();
    for (const char* p : {"jackd", "jalv", "jack_metro", "jack_rec", "jack_connect", "jack_wait"})
        if (!onPath(p)) GTEST_SKIP() << p << " is not installed";

    TemporaryFolder folder;
    const fs::path& dir = folder.path();
    std::string recording = (dir / "rec.wav").string();

    // One session: a server, jalv, the click source and a recording. Answers false when the graph
    // did not deliver a recording - JACK's example clients and jalv now and then miss their start-up
    // on a loaded machine (the server then reports the plug-in's client "not finished" in every
    // cycle) - so the test tries a fresh session before it gives up.
    bool serverStarted = false;
    auto session = [&](int attempt) {
        DummyJackServer jackd(std::to_string(attempt), (dir / "jackd.log").string());
        if (!jackd.started()) return false;
        std::vector<std::string> env = jackd.environment();
        env.push_back(std::string("LV2_PATH=") + LORIMANE_LV2_PATH);
        serverStarted = true;
        // jalv ends when its standard input ends: give it a fifo that stays open.
        std::string fifo = (dir / ("jalv" + std::to_string(attempt) + ".in")).string();
        if (mkfifo(fifo.c_str(), 0600) != 0) return false;
        Child holder({"sh", "-c", "sleep 60 > " + fifo}, env);
        // A 100 ms delay without filters: each click comes back 4800 samples later at full level.
        Child jalv({"jalv", "-x", "-n", "lorimane", "-c", "delay_l_time=100", "-c", "filter_1_enabled=0", "-c",
                    "filter_2_enabled=0", lv2turtle::kPluginUri},
                   env, fifo, (dir / "jalv.log").string());
        Child metro({"jack_metro", "-n", "metro", "-b", "120", "-f", "1000", "-D", "5", "-A", "0.8"}, env);
        bool connected = false;
        for (int i = 0; i < 100 && !connected; ++i) {
            connected = runWith(env, "jack_connect metro:120_bpm lorimane:in_l") == 0;
            if (!connected) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!connected) return false;
        runWith(env, "jack_connect metro:120_bpm lorimane:in_r");
        Child recorder({"jack_rec", "-f", recording, "-d", "2", "-b", "32", "lorimane:out_l", "metro:120_bpm"}, env);
        bool recorded = recorder.wait(10) == 0;
        recorder.stop();
        metro.stop();
        jalv.stop();
        holder.stop();
        jackd.stop();
        return recorded;
    };
    bool recorded = false;
    for (int attempt = 0; attempt < 3 && !recorded; ++attempt) recorded = session(attempt);
    if (!serverStarted) GTEST_SKIP() << "a JACK server cannot start here";
    ASSERT_TRUE(recorded) << "no session delivered a recording";

    AudioBuffer audio;
    std::string error;
    ASSERT_TRUE(readAudioFile(recording, audio, error)) << error;
    ASSERT_EQ(audio.channels.size(), 2u);
    std::vector<size_t> clicks = onsets(audio.channels[1], 0.1f), heard = onsets(audio.channels[0], 0.1f);
    ASSERT_GE(clicks.size(), 2u) << "the click source was not recorded";
    auto peak = [&](int channel, size_t from) {
        float p = 0;
        for (size_t k = from; k < from + 240 && k < audio.frames(); ++k) p = std::max(p, std::fabs(audio.channels[channel][k]));
        return p;
    };
    constexpr size_t kEcho = 4800;  // 100 ms at 48 kHz
    for (size_t c : clicks) {
        // The dry click, with no latency, and its echo where the control put it.
        EXPECT_NE(std::find(heard.begin(), heard.end(), c), heard.end()) << c;
        if (c + kEcho + 240 >= audio.frames()) continue;
        EXPECT_NE(std::find(heard.begin(), heard.end(), c + kEcho), heard.end()) << c;
        EXPECT_NEAR(peak(0, c + kEcho), peak(1, c), 1e-3);
    }
}
