#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "JackProbe.h"
#include "TemporaryFolder.h"
#include "TopLevelWindows.h"
#include "XvfbServer.h"
#include "engine/LorimanePlugin.h"
#include "persistence/AtomicFile.h"
#include "persistence/PersistenceGlobals.h"
#include "product/ProductPlugin.h"
#include "tools/lorimane-preset/PresetFile.h"
#include "tools/lorimane-render/RenderCommand.h"
#include "tools/lorimane/StandaloneState.h"

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Drags delay 1's time knob in the editor window with xdotool: press on the knob's body, move
// upwards in small steps, release. Answers whether xdotool ran every step.
bool dragTimeKnob(const gui::test::XvfbServer& x, unsigned long window) {
    // The knob's centre, in the editor's (and so the window's) coordinates.
    const int cx = 164 + 28, cy = 68 + 28;
    std::vector<std::string> args = {"xdotool", "mousemove", "--window", std::to_string(window), std::to_string(cx),
                                     std::to_string(cy), "sleep", "0.3", "mousedown", "1"};
    for (int step = 1; step <= 8; ++step) {
        for (const char* a : {"sleep", "0.05", "mousemove", "--window"}) args.push_back(a);
        args.push_back(std::to_string(window));
        args.push_back(std::to_string(cx));
        args.push_back(std::to_string(cy - 5 * step));
    }
    for (const char* a : {"sleep", "0.1", "mouseup", "1", "sleep", "0.3"}) args.push_back(a);
    Child drag(args, {"DISPLAY=" + x.display()});
    return drag.wait(15) == 0;
}

// The program against JACK servers of the test's own. A plug-in instance lives with the fixture:
// it writes the presets the runs load, reads the states they leave, and names the state folder.
class LorimaneApp : public ::testing::Test {
protected:
    void SetUp() override {
        plugin_ = makeProductPlugin();
        product_ = dynamic_cast<LorimanePlugin*>(plugin_.get());
        ASSERT_NE(product_, nullptr);
    }

    // Tests that start a server skip without one.
    static bool haveJackServer() { return onPath("jackd") && onPath("jack_wait"); }

    int parameter(const std::string& name) const {
        for (int i = 0; i < plugin_->getParameterCount(); ++i)
            if (plugin_->getParameter(i)->name() == name) return i;
        return -1;
    }
    // A preset file of the settings on top of "Default Setting".
    std::string writePreset(const std::string& name, const std::vector<std::string>& settings) {
        auto plugin = makeProductPlugin();
        auto& product = dynamic_cast<LorimanePlugin&>(*plugin);
        std::string error, path = folder_ / name;
        for (const std::string& s : settings) EXPECT_TRUE(applySetting(product, s, error)) << error;
        EXPECT_TRUE(saveAnyPreset(product, path, -1, error)) << error;
        return path;
    }
    // The value a parameter has in the state the client left; NAN when the state cannot be read.
    float stateValue(const std::string& client, int index) {
        auto plugin = makeProductPlugin();
        std::string error;
        StandaloneState state(client);
        if (!state.restore(dynamic_cast<LorimanePlugin&>(*plugin), error)) {
            ADD_FAILURE() << error;
            return NAN;
        }
        return plugin->getParameter(index)->value();
    }
    std::vector<std::string> app(const std::vector<std::string>& options) const {
        std::vector<std::string> args = {LORIMANE_APP};
        args.insert(args.end(), options.begin(), options.end());
        return args;
    }

    TemporaryFolder folder_;
    std::unique_ptr<GenericPlugin> plugin_;
    LorimanePlugin* product_ = nullptr;
};

}  // namespace

// A click through a 100 ms echo comes back where the preset puts it; a controller moved during the
// run is in the state saved at SIGTERM, and a second run restores it (its own save would otherwise
// put the preset's value back).
TEST_F(LorimaneApp, PlaysTheEchoesOfItsPresetAndKeepsAMidiChangeAcrossRuns) {
    if (!haveJackServer()) GTEST_SKIP() << "jackd is not installed";
    std::string preset = writePreset("echo.bxp", {"Delay L Time=100 ms", "Delay R Time=100 ms",
                                                  "Filter 1 Enabled=Disabled", "Filter 2 Enabled=Disabled"});
    // Controller 21 drives the left feedback, as a map learned in an editor would.
    int feedback = parameter("Delay L Feedback");
    ASSERT_GE(feedback, 0);
    PersistenceGlobals& globals = *PersistenceGlobals::instance();
    globals.controllerMap().assignController(21, feedback);
    ASSERT_TRUE(globals.saveControllerMap());
    const std::string client = "lm_echo";
    std::filesystem::remove(StandaloneState(client).path());
    AbstractPluginParameter& p = *plugin_->getParameter(feedback);
    const float moved = p.maxValue();

    // JACK's clients now and then miss their start on a loaded machine: a fresh session is tried
    // before the test gives up.
    std::unique_ptr<JackProbe> probe;
    std::vector<float> clicks, heard;
    std::string failure;
    bool serverStarted = false, played = false;
    for (int attempt = 0; attempt < 5 && !played; ++attempt) {
        // A server of an earlier test may still be leaving: let it go before the next try.
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::seconds(1));
        DummyJackServer server("echo" + std::to_string(attempt), folder_ / "jackd.log");
        if (!server.started()) continue;
        serverStarted = true;
        std::string log = folder_ / ("run1-" + std::to_string(attempt) + ".log");
        Child first(app({"--no-editor", "--name", client, "--preset", preset}), server.environment(), "", log);
        probe = JackProbe::open(server.name(), 96000, 24000);
        const char* step = !probe                       ? "the probe could not join the server"
                           : !probe->connectTo(client, 10) ? "the application's ports did not appear"
                           : !probe->record(15)            ? "the recording did not fill"
                                                           : nullptr;
        if (step) {
            failure += std::string("attempt ") + std::to_string(attempt) + ": " + step + "; " + readText(log) + "\n";
            probe.reset();
            continue;
        }
        clicks = probe->clicks();
        heard = probe->heard();
        // The application takes the message in the cycle that sends it, which ends before the
        // application stops processing.
        ASSERT_TRUE(probe->sendMidi(0xB0, 21, 127, 5));
        first.signal(SIGTERM);
        ASSERT_EQ(first.wait(15), 0) << readText(log);
        EXPECT_EQ(stateValue(client, feedback), moved);

        std::string log2 = folder_ / "run2.log";
        Child second(app({"--no-editor", "--name", client}), server.environment(), "", log2);
        ASSERT_TRUE(probe->waitForApp(client, 10)) << readText(log2);
        second.signal(SIGTERM);
        ASSERT_EQ(second.wait(15), 0) << readText(log2);
        EXPECT_EQ(stateValue(client, feedback), moved);
        probe.reset();
        played = true;
    }
    if (!serverStarted) GTEST_SKIP() << "a JACK server cannot start here";
    ASSERT_TRUE(played) << failure;

    std::vector<size_t> sent = onsets(clicks, 0.25f), found = onsets(heard, 0.05f);
    ASSERT_GE(sent.size(), 3u) << "the click train was not recorded";
    constexpr size_t kEcho = 4800;  // 100 ms at 48 kHz
    for (size_t c : sent) {
        // The dry click, without latency, and its echo where the preset puts it.
        EXPECT_NE(std::find(found.begin(), found.end(), c), found.end()) << c;
        if (c + kEcho + 96 < heard.size()) {
            EXPECT_NE(std::find(found.begin(), found.end(), c + kEcho), found.end()) << c;
        }
    }
}

// Without a server the program says so in one line and ends with status 2 before it touches
// anything: the state of the last run is still there, byte for byte.
TEST_F(LorimaneApp, WithoutAServerSaysSoInOneLineAndLosesNoState) {
    const std::string client = "lm_none";
    std::string error;
    ASSERT_TRUE(applySetting(*product_, "Delay L Time=250 ms", error)) << error;
    StandaloneState state(client);
    ASSERT_TRUE(state.save(*product_, error)) << error;
    std::string before;
    ASSERT_TRUE(readWholeFile(state.path(), before, 1 << 20));

    std::string log = folder_ / "none.log";
    for (const std::vector<std::string>& options :
         std::vector<std::vector<std::string>>{{"--no-editor", "--name", client}, {"--name", client}}) {
        Child run(app(options), {"JACK_DEFAULT_SERVER=lorimane_none_" + std::to_string(getpid())}, "", log);
        EXPECT_EQ(run.wait(15), 2);
        std::string said = readText(log);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("no JACK server is running"), std::string::npos) << said;
        std::string after;
        ASSERT_TRUE(readWholeFile(state.path(), after, 1 << 20));
        EXPECT_EQ(after, before);
    }
}

// --connect joins the first physical capture and playback ports. A server that goes away under the
// running program: a clear message, a clean exit with status 1, the state saved.
TEST_F(LorimaneApp, ServerThatStopsEndsTheRunWithTheStateSaved) {
    if (!haveJackServer()) GTEST_SKIP() << "jackd is not installed";
    const std::string client = "lm_gone";
    StandaloneState state(client);
    std::filesystem::remove(state.path());
    std::string log = folder_ / "gone.log";
    DummyJackServer server("gone", folder_ / "jackd.log");
    if (!server.started()) GTEST_SKIP() << "a JACK server cannot start here";
    Child run(app({"--no-editor", "--name", client, "--fresh", "--connect"}), server.environment(), "", log);
    {
        auto probe = JackProbe::open(server.name(), 1, 24000);
        ASSERT_NE(probe, nullptr);
        ASSERT_TRUE(probe->waitForApp(client, 10)) << readText(log);
        using Ports = std::vector<std::string>;
        EXPECT_TRUE(waitFor([&] { return probe->connections(client + ":out_r") == Ports{"system:playback_2"}; }, 5));
        EXPECT_EQ(probe->connections(client + ":in_l"), Ports{"system:capture_1"});
        EXPECT_EQ(probe->connections(client + ":out_l"), Ports{"system:playback_1"});
        EXPECT_TRUE(probe->connections(client + ":sidechain_l").empty());
    }
    server.stop();
    EXPECT_EQ(run.wait(15), 1) << readText(log);
    EXPECT_NE(readText(log).find("the JACK server stopped"), std::string::npos) << readText(log);
    EXPECT_TRUE(state.exists());
}

// The editor in a window of its own under an X server of the test's own: the window is found by
// its name, a knob is dragged, and the state saved when the run ends holds the run's values: at
// SIGTERM, when the window is closed as a window manager closes it, and when the display goes away.
TEST_F(LorimaneApp, EditorWindowRunSavesItsStateHoweverItEnds) {
    if (!haveJackServer()) GTEST_SKIP() << "jackd is not installed";
    if (!onPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    DummyJackServer server("editor", folder_ / "jackd.log");
    if (!server.started()) GTEST_SKIP() << "a JACK server cannot start here";
    int time = parameter("Delay L Time");
    std::string preset = writePreset("editor.bxp", {"Delay L Time=300 ms"});
    float presetValue = -1.0f;
    {
        auto plugin = makeProductPlugin();
        std::string error;
        int kind = -1;
        ASSERT_TRUE(loadAnyPreset(dynamic_cast<LorimanePlugin&>(*plugin), preset, kind, error)) << error;
        presetValue = plugin->getParameter(time)->value();
    }
    const std::string client = "lm_editor";

    enum class End { Terminated, WindowClosed, DisplayGone };
    struct Case {
        End end;
        int status;
        const char* what;
    } cases[] = {{End::Terminated, 0, "SIGTERM"}, {End::WindowClosed, 0, "window closed"}, {End::DisplayGone, 1, "display gone"}};
    for (const Case& c : cases) {
        gui::test::XvfbServer x;
        std::string whyNot;
        if (!x.start(whyNot, 1280, 800)) GTEST_SKIP() << whyNot;
        auto windows = std::make_unique<TopLevelWindows>(x.display());
        ASSERT_TRUE(windows->connected());
        std::vector<std::string> environment = server.environment();
        environment.push_back("DISPLAY=" + x.display());
        std::filesystem::remove(StandaloneState(client).path());
        std::string log = folder_ / "editor.log";
        Child run(app({"--name", client, "--preset", preset}), environment, "", log);
        unsigned long window = 0;
        ASSERT_TRUE(waitFor([&] { return (window = windows->find("Lorimane (" + client + ")")) != 0; }, 15))
            << readText(log);
        // Once the window shows, the drag reaches the knob.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ASSERT_TRUE(dragTimeKnob(x, window)) << "xdotool failed";
        switch (c.end) {
            case End::Terminated: run.signal(SIGTERM); break;
            case End::WindowClosed: windows->askToClose(window); break;
            case End::DisplayGone:
                windows.reset();  // Xlib would end this process too
                x.stop();
                break;
        }
        ASSERT_EQ(run.wait(15), c.status) << c.what << ": " << readText(log);
        // Up lengthens the time; the state the run left holds the dragged value.
        EXPECT_GT(stateValue(client, time), presetValue + 0.01f) << c.what;
    }
}
