#include <gtest/gtest.h>

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "AudioThreadGuard.h"
#include "ExternalHosts.h"
#include "Lv2Bundle.h"
#include "Lv2TestHost.h"
#include "TemporaryFolder.h"
#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2PortLayout.h"
#include "host/lv2/Lv2Turtle.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/PresetManager.h"
#include "product/ProductPlugin.h"
#include "tools/lorimane-render/AudioFile.h"

namespace fs = std::filesystem;

namespace {


bool haveProgram(const char* name) { return run(std::string("command -v ") + name).find('/') != std::string::npos; }

class Lv2BundleTest : public ::testing::Test {
protected:
    std::string env() const { return std::string("LV2_PATH=") + LORIMANE_LV2_PATH + " "; }
    TemporaryFolder folder;
    const fs::path& dir = folder.path();
};

}  // namespace

TEST(Lv2Turtle, SymbolsAreLowerCaseWordsJoinedByUnderscores) {
    struct Case {
        const char* name;
        const char* symbol;
    };
    for (Case c : {Case{"Delay L Time", "delay_l_time"}, Case{"Filter 1 Freq", "filter_1_freq"},
                   Case{"Num Active Slots", "num_active_slots"}, Case{"Auto Mute Self-Osc", "auto_mute_self_osc"},
                   Case{"  XLFO 2 Step 3 ", "xlfo_2_step_3"}, Case{"1st", "p_1st"}, Case{"", "p_"}})
        EXPECT_EQ(lv2turtle::symbolFor(c.name), c.symbol) << c.name;
}

TEST(Lv2Plugin, RunsAnyBlockLengthWithoutAllocatingAndAppliesOnlyMovedPorts) {
    UridMap urids;
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::string error;
    auto lv2 = Lv2Plugin::create(48000.0, urids.features, error);
    ASSERT_TRUE(lv2) << error;
    EXPECT_TRUE(Lv2Plugin::create(48000.0, nullptr, error));  // simple hosts pass no features
    EXPECT_FALSE(Lv2Plugin::create(0.0, urids.features, error));

    std::vector<float> in(5000, 0.5f), side(5000, 0.0f), outL(5000), outR(5000);
    float enabled = 1.0f, time = 350.0f;  // parameter 0 is "Delay L Time"; the port shows milliseconds
    lv2->connectPort(Lv2Plugin::kInputLeft, in.data());
    lv2->connectPort(Lv2Plugin::kInputRight, in.data());
    lv2->connectPort(Lv2Plugin::kSideChainLeft, side.data());
    lv2->connectPort(Lv2Plugin::kSideChainRight, nullptr);  // optional
    lv2->connectPort(Lv2Plugin::kOutputLeft, outL.data());
    lv2->connectPort(Lv2Plugin::kOutputRight, outR.data());
    lv2->connectPort(Lv2Plugin::kEnabled, &enabled);
    lv2->connectPort(Lv2Plugin::kFirstParameter, &time);
    // Without the wet signal the output is the dry input itself.
    for (int i = 0; i < lv2->plugin().getParameterCount(); ++i)
        if (lv2->plugin().getParameter(i)->name() == "Wet Level") lv2->plugin().getParameter(i)->setValue(0.0f, 0);
    lv2->activate();
    {
        AudioThreadGuard guard;
        for (uint32_t n : {0u, 1u, 127u, 4999u}) lv2->run(n);
        EXPECT_EQ(guard.allocations(), 0);
        EXPECT_EQ(guard.locks(), 0);
    }
    EXPECT_FLOAT_EQ(outL[4998], 0.5f);

    // A change made inside the plug-in survives an unchanged port; a moved port wins.
    AbstractPluginParameter& p = *lv2->plugin().getParameter(0);
    p.setValue(0.25f, 0);
    lv2->run(64);
    EXPECT_FLOAT_EQ(p.value(), 0.25f);
    time = 500.0f;
    lv2->run(64);
    EXPECT_NEAR(p.plainToDisplay(p.value()), 500.0f, 0.01f);
}

// Ports are compared in blocks: a moved port is applied wherever it sits (first, at a block edge,
// last), its neighbours are left alone, and a port the host disconnects stops counting.
TEST(Lv2Plugin, EveryMovedPortIsAppliedWhereverItSits) {
    UridMap urids;
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::string error;
    auto lv2 = Lv2Plugin::create(48000.0, urids.features, error);
    ASSERT_TRUE(lv2) << error;
    GenericPlugin& plugin = lv2->plugin();
    const std::vector<int> parameters = Lv2PortLayout(plugin).parameters();
    std::vector<float> ports(parameters.size());
    for (std::size_t k = 0; k < ports.size(); ++k) {
        ports[k] = Lv2Plugin::portValue(*plugin.getParameter(parameters[k]), plugin.getParameter(parameters[k])->value());
        lv2->connectPort(Lv2Plugin::kFirstParameter + uint32_t(k), &ports[k]);
    }
    std::vector<float> audio(64, 0.0f), outL(64), outR(64);
    for (uint32_t port : {Lv2Plugin::kInputLeft, Lv2Plugin::kInputRight}) lv2->connectPort(port, audio.data());
    lv2->connectPort(Lv2Plugin::kOutputLeft, outL.data());
    lv2->connectPort(Lv2Plugin::kOutputRight, outR.data());
    lv2->activate();
    lv2->run(64);

    std::vector<float> before(plugin.getParameterCount());
    for (int i = 0; i < plugin.getParameterCount(); ++i) before[i] = plugin.getParameter(i)->value();
    std::size_t last = ports.size() - 1;
    std::vector<std::size_t> moved;
    for (std::size_t k : {std::size_t(0), std::size_t(15), std::size_t(16), std::size_t(17), last}) {
        AbstractPluginParameter& p = *plugin.getParameter(parameters[k]);
        float target = p.value() < 0.5f ? 1.0f : 0.0f;
        float port = Lv2Plugin::portValue(p, target);
        if (port == ports[k]) continue;  // a parameter with a single setting cannot move
        ports[k] = port;
        moved.push_back(k);
    }
    ASSERT_GE(moved.size(), 4u);
    {
        AudioThreadGuard guard;
        lv2->run(64);
        EXPECT_EQ(guard.allocations(), 0);
    }
    for (std::size_t k = 0; k < ports.size(); ++k) {
        int i = parameters[k];
        bool shouldMove = std::find(moved.begin(), moved.end(), k) != moved.end();
        EXPECT_EQ(plugin.getParameter(i)->value() != before[i], shouldMove) << plugin.getParameter(i)->name();
    }

    // A disconnected port keeps the parameter where it is, whatever its old memory holds.
    float held = plugin.getParameter(parameters[last])->value();
    lv2->connectPort(Lv2Plugin::kFirstParameter + uint32_t(last), nullptr);
    ports[last] = Lv2Plugin::portValue(*plugin.getParameter(parameters[last]), held < 0.5f ? 1.0f : 0.0f);
    lv2->run(64);
    EXPECT_EQ(plugin.getParameter(parameters[last])->value(), held);
}

TEST_F(Lv2BundleTest, ValidatesAndLoadsInLilv) {
    if (!haveProgram("lv2_validate") || !haveProgram("lv2info")) GTEST_SKIP() << "lilv-utils and sordi are not installed";
    std::string bundle = std::string(LORIMANE_LV2_PATH) + "/Lorimane.lv2";
    std::string validation =
        run("lv2_validate " + bundle + "/manifest.ttl " + bundle + "/lorimane.ttl " + bundle + "/presets.ttl");
    EXPECT_NE(validation.find("Found 0 errors"), std::string::npos) << validation;
    std::string list = run(env() + "lv2ls");
    EXPECT_NE(list.find(lv2turtle::kPluginUri), std::string::npos) << list;
    std::string info = run(env() + "lv2info " + lv2turtle::kPluginUri);
    EXPECT_EQ(info.find("error"), std::string::npos) << info;
    EXPECT_NE(info.find("Symbol:      enabled"), std::string::npos);
    EXPECT_NE(info.find("Symbol:      delay_l_time"), std::string::npos);
    // The editor is the plug-in's X11 UI, its library beside the plug-in's.
    EXPECT_NE(info.find(std::string(lv2turtle::kUiUri) + "\n\t\t\tClass:  http://lv2plug.in/ns/extensions/ui#X11UI\n"
                        "\t\t\tBinary: file://" + bundle + "/lorimane_ui.so"),
              std::string::npos)
        << info;
    EXPECT_TRUE(std::filesystem::exists(bundle + "/lorimane_ui.so"));
    // The factory presets are presets of the bundle.
    EXPECT_NE(info.find("Default Setting"), std::string::npos);
    EXPECT_NE(info.find("Rhythmic/Slapback"), std::string::npos);

    // Every preset carries its description, and every category is a bank hosts can group by.
    std::ifstream in(bundle + "/presets.ttl");
    std::string presets((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto count = [&](const std::string& what) {
        size_t n = 0;
        for (size_t at = presets.find(what); at != std::string::npos; at = presets.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_GE(count("a pset:Preset ;"), 60u);
    EXPECT_EQ(count("rdfs:comment "), count("a pset:Preset ;"));
    EXPECT_EQ(count("pset:bank <"), count("a pset:Preset ;") - 1);  // all but "Default Setting" at the top
    EXPECT_GE(count("a pset:Bank ;"), 8u);
    EXPECT_NE(presets.find("rdfs:label \"Rhythmic/Slapback\" ;\n    pset:bank <" + lv2turtle::bankUri("Rhythmic") +
                           "> ;\n    rdfs:comment \"One short echo"),
              std::string::npos);
}

TEST_F(Lv2BundleTest, RendersThroughLv2applyLikeTheRenderer) {
    LORIMANE_SKIP_WITHOUT_EXTERNAL_HOSTS();
    if (!haveProgram("lv2apply")) GTEST_SKIP() << "lilv-utils is not installed";
    // Four channels: main left and right, side-chain left and right.
    AudioBuffer input;
    input.sampleRate = 48000;
    input.channels.assign(4, std::vector<float>(4800, 0.0f));
    input.channels[0][100] = 1.0f;
    input.channels[1][200] = -0.5f;
    std::string error;
    ASSERT_TRUE(writeAudioFile((dir / "in4.wav").string(), input, error));
    std::string out = (dir / "out.wav").string();
    std::string log = run(env() + "lv2apply -i " + (dir / "in4.wav").string() + " -o " + out + " -c dry_level -6.0206 -c wet_level -180 " +
                          lv2turtle::kPluginUri);
    AudioBuffer result;
    ASSERT_TRUE(readAudioFile(out, result, error)) << log << error;
    ASSERT_EQ(result.channels.size(), 2u);
    // Without the wet signal the output is the dry signal at half its level.
    EXPECT_NEAR(result.channels[0][100], 0.5f, 1e-5f);
    EXPECT_NEAR(result.channels[1][200], -0.25f, 1e-5f);

    // The same input and setting through the renderer gives the same samples.
    AudioBuffer stereo = input;
    stereo.channels.resize(2);
    ASSERT_TRUE(writeAudioFile((dir / "in2.wav").string(), stereo, error));
    std::string rendered = (dir / "rendered.wav").string();
    std::string renderLog = run(std::string(LORIMANE_RENDER) + " --tail 0 --bits 32f --set \"Dry Level=-6.0206 dB\" --set \"Wet Level=-180 dB\" " +
                                (dir / "in2.wav").string() + " " + rendered);
    AudioBuffer reference;
    ASSERT_TRUE(readAudioFile(rendered, reference, error)) << renderLog;
    EXPECT_EQ(reference.channels, result.channels);
}

TEST_F(Lv2BundleTest, Lv2applyPutsTheEchoWhereTheControlsSay) {
    LORIMANE_SKIP_WITHOUT_EXTERNAL_HOSTS();
    if (!haveProgram("lv2apply")) GTEST_SKIP() << "lilv-utils is not installed";
    struct Case {
        double rate;
        float delayMs;
    };
    for (Case c : {Case{48000, 400.0f}, Case{44100, 250.0f}}) {
        AudioBuffer input;
        input.sampleRate = c.rate;
        input.channels.assign(4, std::vector<float>(static_cast<size_t>(c.rate * 0.6), 0.0f));
        input.channels[0][100] = 1.0f;
        std::string error, in = (dir / "impulse.wav").string(), out = (dir / "echo.wav").string();
        ASSERT_TRUE(writeAudioFile(in, input, error));
        std::string log = run(env() + "lv2apply -i " + in + " -o " + out + " -c delay_l_time " + std::to_string(c.delayMs) +
                              " -c filter_1_enabled 0 -c filter_2_enabled 0 " + lv2turtle::kPluginUri);
        AudioBuffer result;
        ASSERT_TRUE(readAudioFile(out, result, error)) << log << error;
        size_t echo = 100 + static_cast<size_t>(std::lround(c.delayMs * c.rate / 1000.0));
        std::vector<size_t> heard;
        for (size_t i = 0; i < result.frames(); ++i)
            if (std::fabs(result.channels[0][i]) > 1e-4f) heard.push_back(i);
        EXPECT_EQ(heard, (std::vector<size_t>{100, echo})) << c.rate;
        EXPECT_FLOAT_EQ(result.channels[0][echo], 1.0f);  // wet at 0 dB, no filter, no feedback
        EXPECT_FLOAT_EQ(result.channels[1][echo], 1.0f);  // a centred delay reaches both channels
    }
}

namespace {
// Records where notes land and the transport it is given.
class EventProbe : public GenericPlugin {
public:
    EventProbe() {
        initialize("Lorimane");
        for (int i = 0; i < 2; ++i) {
            channels.push_back(std::make_unique<GenericPlugin::Channel>(*this));
            channels.back()->setOutputProducer(&channels.back()->input());
        }
        notes.reserve(16);
    }
    ~EventProbe() override { channels.clear(); }
    std::string getChunkTag() const override { return "TEST"; }
    void noteOn(int note, float) override {
        if (notes.size() < notes.capacity()) notes.push_back({note, environment().runningPosition()});
    }
    void transportChanged(double tempo, double position) override {
        lastTempo = tempo;
        lastPosition = position;
    }
    std::vector<std::unique_ptr<GenericPlugin::Channel>> channels;
    std::vector<std::pair<int, int>> notes;
    double lastTempo = 0, lastPosition = -1;
};
}  // namespace

TEST(Lv2Plugin, MidiEventTimesBecomeSampleOffsetsAndTimePositionsQuarterNotes) {
    UridMap urids;
    Lv2Plugin::setPluginFactory([]() -> std::unique_ptr<GenericPlugin> { return std::make_unique<EventProbe>(); });
    std::string error;
    auto lv2 = Lv2Plugin::create(48000.0, urids.features, error);
    ASSERT_TRUE(lv2) << error;
    auto& probe = static_cast<EventProbe&>(lv2->plugin());
    auto id = [&](const char* uri) { return urids.map.map(urids.map.handle, uri); };

    // An atom sequence: a note-on at frame 10, then a time position of bar 1, beat 2 in 6/8 at 90 bpm.
    alignas(8) uint8_t buffer[1024] = {};
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(buffer);
    sequence->atom.type = id(LV2_ATOM__Sequence);
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    auto append = [&](int64_t frames, uint32_t type, const void* body, uint32_t size) {
        auto* event = reinterpret_cast<LV2_Atom_Event*>(buffer + sizeof(LV2_Atom) + sequence->atom.size);
        event->time.frames = frames;
        event->body.type = type;
        event->body.size = size;
        std::memcpy(event + 1, body, size);
        sequence->atom.size += static_cast<uint32_t>(sizeof(LV2_Atom_Event) + ((size + 7) & ~7u));
    };
    const uint8_t note[3] = {0x90, 60, 100};
    append(10, id(LV2_MIDI__MidiEvent), note, 3);
    struct Property {
        uint32_t key, context;
        LV2_Atom value;
        float number;
        uint32_t pad;
    };
    struct Position {
        LV2_Atom_Object_Body body;
        Property properties[4];
    } position{{0, id(LV2_TIME__Position)},
               {{id(LV2_TIME__bar), 0, {4, id(LV2_ATOM__Float)}, 1.0f, 0},
                {id(LV2_TIME__barBeat), 0, {4, id(LV2_ATOM__Float)}, 2.0f, 0},
                {id(LV2_TIME__beatsPerBar), 0, {4, id(LV2_ATOM__Float)}, 6.0f, 0},
                {id(LV2_TIME__beatUnit), 0, {4, id(LV2_ATOM__Float)}, 8.0f, 0}}};
    append(20, id(LV2_ATOM__Object), &position, sizeof position);
    struct Tempo {
        LV2_Atom_Object_Body body;
        Property tempo;
    } tempo{{0, id(LV2_TIME__Position)}, {id(LV2_TIME__beatsPerMinute), 0, {4, id(LV2_ATOM__Float)}, 90.0f, 0}};
    append(30, id(LV2_ATOM__Object), &tempo, sizeof tempo);

    std::vector<float> in(64, 0.0f), out(64);
    for (uint32_t port : {Lv2Plugin::kInputLeft, Lv2Plugin::kInputRight}) lv2->connectPort(port, in.data());
    lv2->connectPort(Lv2Plugin::kOutputLeft, out.data());
    lv2->connectPort(Lv2Plugin::kOutputRight, out.data());
    lv2->connectPort(Lv2Plugin::kEvents, buffer);
    lv2->activate();
    lv2->run(64);
    EXPECT_EQ(probe.notes, (std::vector<std::pair<int, int>>{{60, 10}}));
    EXPECT_DOUBLE_EQ(probe.lastTempo, 90.0);
    EXPECT_DOUBLE_EQ(probe.lastPosition, 4.0);  // (1 bar x 6 + 2) eighths = 4 quarter notes
}


TEST(Lv2Plugin, AProgramChangeLoadsItsPresetInTheHostsWorkerThread) {
    UridMap urids;
    WorkerHost worker(urids);
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::string error;
    auto lv2 = Lv2Plugin::create(48000.0, worker.features, error);
    ASSERT_TRUE(lv2) << error;
    ASSERT_NE(GenericPlugin::sharedSettings(), nullptr);
    GenericPlugin::sharedSettings()->enableMidiProgramChanges = true;
    std::string before = lv2->plugin().presetState().record().name;

    alignas(8) uint8_t buffer[256] = {};
    urids.oneMidiEvent(buffer, 0, {0xC0, 2});

    std::vector<float> in(64, 0.0f), out(64);
    for (uint32_t port : {Lv2Plugin::kInputLeft, Lv2Plugin::kInputRight}) lv2->connectPort(port, in.data());
    lv2->connectPort(Lv2Plugin::kOutputLeft, out.data());
    lv2->connectPort(Lv2Plugin::kOutputRight, out.data());
    lv2->connectPort(Lv2Plugin::kEvents, buffer);
    lv2->activate();
    {
        AudioThreadGuard guard;
        lv2->run(64);
        EXPECT_EQ(guard.allocations(), 0);
    }
    EXPECT_EQ(worker.requests.load(), 1);
    EXPECT_EQ(lv2->plugin().presetState().record().name, before);  // nothing loaded on the audio thread
    EXPECT_EQ(lv2->work(), LV2_WORKER_SUCCESS);
    EXPECT_NE(lv2->plugin().presetState().record().name, before);
    GenericPlugin::sharedSettings()->enableMidiProgramChanges = false;
}

TEST(Lv2Plugin, AControllerInTheMapFileMovesItsParameter) {
    UridMap urids;
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::string error;
    std::string path;
    int wet = -1;
    {
        auto probe = Lv2Plugin::create(48000.0, urids.features, error);
        ASSERT_TRUE(probe) << error;
        for (int i = 0; i < probe->plugin().getParameterCount(); ++i)
            if (probe->plugin().getParameter(i)->name() == "Wet Level") wet = i;
        path = PersistenceGlobals::instance()->controllerMapPath();
    }
    ASSERT_GE(wet, 0);
    MidiControllerMap file;
    file.assignController(20, wet);
    ASSERT_TRUE(file.save(path));

    auto lv2 = Lv2Plugin::create(48000.0, urids.features, error);
    ASSERT_TRUE(lv2) << error;
    alignas(8) uint8_t buffer[256] = {};
    urids.oneMidiEvent(buffer, 3, {0xB0, 20, 64});

    std::vector<float> in(64, 0.0f), out(64);
    for (uint32_t port : {Lv2Plugin::kInputLeft, Lv2Plugin::kInputRight}) lv2->connectPort(port, in.data());
    lv2->connectPort(Lv2Plugin::kOutputLeft, out.data());
    lv2->connectPort(Lv2Plugin::kOutputRight, out.data());
    lv2->connectPort(Lv2Plugin::kEvents, buffer);
    lv2->activate();
    AbstractPluginParameter& p = *lv2->plugin().getParameter(wet);
    {
        AudioThreadGuard guard;
        lv2->run(64);
        EXPECT_EQ(guard.allocations(), 0);
        EXPECT_EQ(guard.locks(), 0);
    }
    EXPECT_NEAR(p.value(), p.normalizedToPlain(64.0f / 127.0f), 1e-6f);
    EXPECT_TRUE(lv2->plugin().presetState().modified());
    lv2.reset();
    std::filesystem::remove(path);
}

// The host's worker runs on its own thread while run() goes on processing, as hosts do; the
// ThreadSanitizer build checks that the two never touch the same data unsynchronised.
TEST(Lv2Plugin, ProgramChangesLoadInAWorkerThreadWhileRunGoesOn) {
    UridMap urids;
    WorkerHost worker(urids);
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::string error;
    auto lv2 = Lv2Plugin::create(48000.0, worker.features, error);
    ASSERT_TRUE(lv2) << error;
    GenericPlugin::sharedSettings()->enableMidiProgramChanges = true;
    PresetManager& presets = PersistenceGlobals::instance()->mainPresets();

    alignas(8) uint8_t buffer[256] = {};
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(buffer);
    sequence->atom.type = urids.map.map(urids.map.handle, LV2_ATOM__Sequence);
    auto* event = reinterpret_cast<LV2_Atom_Event*>(sequence + 1);
    event->body.type = urids.map.map(urids.map.handle, LV2_MIDI__MidiEvent);
    event->body.size = 2;
    auto* bytes = reinterpret_cast<uint8_t*>(event + 1);
    std::vector<float> in(64, 0.1f), out(64), outRight(64);
    for (uint32_t port : {Lv2Plugin::kInputLeft, Lv2Plugin::kInputRight}) lv2->connectPort(port, in.data());
    lv2->connectPort(Lv2Plugin::kOutputLeft, out.data());
    lv2->connectPort(Lv2Plugin::kOutputRight, outRight.data());
    lv2->connectPort(Lv2Plugin::kEvents, buffer);
    lv2->activate();

    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    std::thread host([&] {
        int served = 0;
        while (!stop.load()) {
            if (worker.requests.load() > served) {
                ++served;
                lv2->work();
                done.fetch_add(1);
            } else {
                std::this_thread::yield();
            }
        }
    });
    int loaded = 0;
    for (int program = 0; program < 8; ++program) {
        PresetEntry* entry = presets.byProgram(0, program);
        if (!entry) continue;
        // A program change in this block, then blocks go on until the worker has loaded it.
        bytes[0] = 0xC0;
        bytes[1] = static_cast<uint8_t>(program);
        sequence->atom.size = sizeof(LV2_Atom_Sequence_Body) + sizeof(LV2_Atom_Event) + 8;
        int before = done.load();
        lv2->run(64);
        sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (done.load() == before && std::chrono::steady_clock::now() < until) lv2->run(64);
        for (int i = 0; i < 3; ++i) lv2->run(64);  // the batch is applied
        ASSERT_GT(done.load(), before) << "program " << program;
        EXPECT_EQ(lv2->plugin().presetState().record().name, entry->record().name) << program;
        ++loaded;
    }
    stop = true;
    host.join();
    EXPECT_GE(loaded, 2);
    EXPECT_TRUE(std::isfinite(out[63]));
    GenericPlugin::sharedSettings()->enableMidiProgramChanges = false;
}
