#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AudioThreadGuard.h"
#include "ChildProcess.h"
#include "engine/LorimanePlugin.h"
#include "persistence/AtomicFile.h"
#include "persistence/PersistenceGlobals.h"
#include "product/ProductPlugin.h"
#include "tools/lorimane-render/RenderCommand.h"
#include "tools/lorimane/StandaloneOptions.h"
#include "tools/lorimane/StandaloneProcessor.h"
#include "tools/lorimane/StandaloneState.h"

namespace {

int parameterIndex(GenericPlugin& plugin, const std::string& name) {
    for (int i = 0; i < plugin.getParameterCount(); ++i)
        if (plugin.getParameter(i)->name() == name) return i;
    return -1;
}

// One plug-in driven as the JACK callback drives it, with buffers for the largest block.
struct ProcessorFixture {
    static constexpr int kMaxFrames = 4096;
    std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
    PluginWorker worker{*plugin, PluginWorker::DeferredWork | PluginWorker::ParameterReports};
    StandaloneProcessor processor;
    std::vector<float> in = std::vector<float>(kMaxFrames), left = in, right = in;

    explicit ProcessorFixture(double tempo = 120.0) : processor(*plugin, worker, 48000.0, tempo) {
        worker.start();
        in[0] = 1.0f;
    }
    void run(int frames, const std::vector<MidiMessage>& midi = {}, StandaloneProcessor::Transport transport = {}) {
        StandaloneProcessor::Block block;
        block.inputs[0] = block.inputs[1] = block.inputs[2] = block.inputs[3] = in.data();
        block.outputs[0] = left.data();
        block.outputs[1] = right.data();
        block.frames = frames;
        block.midi = midi.data();
        block.midiCount = static_cast<int>(midi.size());
        block.transport = transport;
        processor.process(block);
    }
};

}  // namespace

// The server may change its buffer size and sample rate at any time; the callback follows both, and
// MIDI, without allocating or locking.
TEST(StandaloneProcessor, FollowsRateBlockAndMidiWithoutAllocating) {
    ProcessorFixture f;
    // A mapped controller: its changes are reported, which wakes the worker from the callback.
    MidiControllerMap& map = PersistenceGlobals::instance()->controllerMap();
    map.assignController(21, parameterIndex(*f.plugin, "Wet Level"));
    std::vector<MidiMessage> midi = {{0xB0, 7, 90, 0, 3}, {0xB0, 21, 64, 0, 20}, {0x90, 60, 100, 0, 30}};
    AudioThreadGuard guard;
    for (double rate : {48000.0, 44100.0, 96000.0, 48000.0}) {
        f.processor.setSampleRate(rate);
        for (int frames : {256, 64, 1024, 37, ProcessorFixture::kMaxFrames}) f.run(frames, midi);
    }
    map.clear(21);
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
    EXPECT_EQ(f.plugin->environment().sampleRate(), 48000.0f);
    for (float s : f.left) ASSERT_TRUE(std::isfinite(s));
}

// A controller the map binds changes its parameter on the audio thread; the worker then reports the
// change, so nothing waits for an editor that may not be open.
TEST(StandaloneProcessor, MappedControllerChangesItsParameterAndTheWorkerReportsIt) {
    ProcessorFixture f;
    int wet = parameterIndex(*f.plugin, "Wet Level");
    ASSERT_GE(wet, 0);
    ASSERT_NE(PersistenceGlobals::instance(), nullptr);
    MidiControllerMap& map = PersistenceGlobals::instance()->controllerMap();
    map.assignController(21, wet);
    AbstractPluginParameter& p = *f.plugin->getParameter(wet);
    float before = p.value();
    f.run(256, {{0xB0, 21, 0, 0, 0}});
    map.clear(21);
    EXPECT_NE(p.value(), before);
    EXPECT_FLOAT_EQ(p.value(), p.normalizedToPlain(0.0f));
    EXPECT_TRUE(waitFor([&] { return !f.plugin->parameterReportsPending(); }, 5));
}

// A program change loads its preset on the worker, with no editor open to do it.
TEST(StandaloneProcessor, ProgramChangeLoadsItsPresetWithoutAnEditor) {
    ProcessorFixture f;
    GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings();
    ASSERT_NE(shared, nullptr);
    shared->enableMidiProgramChanges = true;
    std::string before = f.plugin->presetState().record().name;
    f.run(256, {{0xC0, 2, 0, 0, 10}});
    EXPECT_TRUE(waitFor([&] { return f.plugin->presetState().record().name != before; }, 5)) << "still " << before;
    shared->enableMidiProgramChanges = false;
}

// Without a timebase master the plug-in's clock runs at --tempo; a master sets tempo and position,
// and while its transport stands the clock runs on at its tempo.
TEST(StandaloneProcessor, ClockFollowsTheMasterElseTheTempoGiven) {
    struct Case {
        double fallbackTempo;
        StandaloneProcessor::Transport transport;
        double quartersAfterOneSecond;
    } cases[] = {
        {120.0, {}, 2.0},
        {60.0, {}, 1.0},
        {60.0, {true, 90.0, 5.0}, 6.5},  // a master that stands at 5: its tempo, from its position
    };
    for (const Case& c : cases) {
        ProcessorFixture f(c.fallbackTempo);
        for (int i = 0; i < 48000 / 480 + 1; ++i) f.run(480, {}, c.transport);  // one block more: the clock lags one
        EXPECT_NEAR(f.plugin->musicalPosition(), c.quartersAfterOneSecond, 1e-3) << c.fallbackTempo;
    }
    ProcessorFixture rolling(60.0);
    for (int i = 0; i < 10; ++i) rolling.run(480, {}, {true, 90.0, 17.0 + 0.25 * i});
    EXPECT_NEAR(rolling.plugin->musicalPosition(), 19.25, 1e-3);

    struct Meter {
        int bar, beat, tick;
        float beatsPerBar, beatType;
        double quarters;
    } meters[] = {{1, 1, 0, 4, 4, 0.0}, {2, 1, 0, 4, 4, 4.0}, {2, 1, 0, 6, 8, 3.0}, {1, 3, 960, 4, 4, 2.5},
                  {0, 0, 0, 4, 4, 0.0}};
    for (const Meter& m : meters)
        EXPECT_DOUBLE_EQ(StandaloneProcessor::quartersOf(m.bar, m.beat, m.tick, 1920.0, m.beatsPerBar, m.beatType),
                         m.quarters)
            << m.bar << "|" << m.beat << "|" << m.tick << " in " << m.beatsPerBar << "/" << m.beatType;
}

TEST(StandaloneOptions, ParsesTheCommandLineAndRefusesWhatIsWrong) {
    StandaloneOptions o;
    std::string error;
    ASSERT_TRUE(parseStandaloneOptions({"--name", "live", "--preset", "Init", "--tempo", "96.5", "--connect",
                                        "--no-editor"},
                                       o, error))
        << error;
    EXPECT_EQ(o.clientName, "live");
    EXPECT_EQ(o.preset, "Init");
    EXPECT_DOUBLE_EQ(o.tempo, 96.5);
    EXPECT_TRUE(o.connect);
    EXPECT_FALSE(o.editor);
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--name"}, {"--name", ""}, {"--tempo", "fast"}, {"--tempo", "0"}, {"--tempo", "nan"},
             {"--fresh", "--preset", "Init"}, {"--bogus"}}) {
        StandaloneOptions ignored;
        error.clear();
        EXPECT_FALSE(parseStandaloneOptions(wrong, ignored, error)) << wrong[0];
        EXPECT_FALSE(error.empty());
    }
}

// The state round-trips; a state that cannot be read changes nothing and is kept aside, so the save
// at the end of the run cannot destroy it.
TEST(StandaloneState, RestoresWhatWasSavedAndKeepsAnUnreadableFile) {
    auto plugin = makeProductPlugin();
    auto& product = dynamic_cast<LorimanePlugin&>(*plugin);
    std::string error;
    StandaloneState state("state/test");  // a slash in a client name stays inside the folder
    EXPECT_EQ(std::filesystem::path(state.path()).filename(), "state_test.bxp");
    ASSERT_TRUE(applySetting(product, "Delay L Time=250 ms", error)) << error;
    product.writePresetState("Slap\nBack", "/presets/Slap Back.bxp", true);
    ASSERT_TRUE(state.save(product, error)) << error;

    auto other = makeProductPlugin();
    auto& restored = dynamic_cast<LorimanePlugin&>(*other);
    int time = parameterIndex(restored, "Delay L Time");
    ASSERT_NE(restored.getParameter(time)->value(), plugin->getParameter(time)->value());
    ASSERT_TRUE(state.restore(restored, error)) << error;
    EXPECT_EQ(restored.getParameter(time)->value(), plugin->getParameter(time)->value());
    std::string name, path;
    bool modified = false;
    restored.readPresetState(name, path, modified);
    EXPECT_EQ(name, "Slap Back");  // a line break cannot split the record
    EXPECT_EQ(path, "/presets/Slap Back.bxp");
    EXPECT_TRUE(modified);

    std::string garbage = "not a state at all";
    ASSERT_TRUE(writeFileAtomically(state.path(), garbage));
    auto fresh = makeProductPlugin();
    auto& untouched = dynamic_cast<LorimanePlugin&>(*fresh);
    float before = untouched.getParameter(time)->value();
    EXPECT_FALSE(state.restore(untouched, error));
    EXPECT_EQ(untouched.getParameter(time)->value(), before);
    EXPECT_FALSE(state.exists());
    std::string kept;
    ASSERT_TRUE(readWholeFile(state.path() + ".unreadable", kept, 1024));
    EXPECT_EQ(kept, garbage);
}
