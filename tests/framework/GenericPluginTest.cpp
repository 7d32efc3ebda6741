#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "AudioThreadGuard.h"
#include "core/FloatEpsilon.h"
#include "framework/GenericPlugin.h"
#include "framework/MidiVirtualPluginParameter.h"
#include "wave/VolumeFilter.h"

namespace {

// A plain 0..1 parameter that drives a ramped value and logs what reaches the engine.
class TestParameter : public AbstractPluginParameter {
public:
    TestParameter(GenericParameterOwner* owner, const char* name, float value = 0.0f)
        : AbstractPluginParameter(owner, name, Continuous), value_(value) {}
    float plainToNormalized(float p) const override { return p; }
    float normalizedToPlain(float n) const override { return n; }
    std::string plainToText(float p) const override { return std::to_string(p); }
    float defaultValue() const override { return 0.0f; }
    float maxValue() const override { return 1.0f; }
    float minValue() const override { return 0.0f; }
    float value() const override { return value_.load(); }
    bool isNumeric() const override { return true; }
    void setValue(float p, int flags) override {
        p = std::clamp(p, 0.0f, 1.0f);
        if (std::fabs(p - value_.load()) <= kFloatEpsilon) return;
        value_.store(p);
        owner_->parameterChanged(index_, p, flags);
    }
    void applyToEngine(float p) override {
        applied.push_back(p);
        if (target) target->rampTo(p);
    }
    std::vector<float> applied;  // audio thread only; reserved up front
    SmoothedValue* target = nullptr;

private:
    std::atomic<float> value_;
};

// Passes its input through and records every block it computes.
class Recorder : public wave::Filter {
public:
    explicit Recorder(wave::Environment& env) : wave::Filter(env) {
        counts.reserve(4096);
        addToResetList();
    }
    void filter(const float* in, SampleBuffer& out, int count, int) override {
        if (counts.size() < counts.capacity()) counts.push_back(count);  // never grows on the audio thread
        for (int i = 0; i < count; ++i) out[i] = in ? in[i] : 0.0f;
    }
    void reset() override { ++resets; }
    std::vector<int> counts;
    int resets = 0;
};

class TestChannel : public GenericPlugin::Channel {
public:
    explicit TestChannel(GenericPlugin& plugin) : Channel(plugin), recorder(plugin.environment()), volume(plugin.environment()) {
        recorder.setInput(&input());
        volume.setInput(&recorder);
        setOutputProducer(&volume);
    }
    Recorder recorder;
    VolumeFilter volume;
};

class TestPlugin : public GenericPlugin {
public:
    TestPlugin() : gain(this, "Gain", 1.0f), other(this, "Other"), midiReceive(this, "Receive Midi") {
        gain.applied.reserve(100000);
        other.applied.reserve(100000);
        midiReceive.applied.reserve(100);
        notes.reserve(100);
        initialize("Test");
        for (int i = 0; i < 2; ++i) channels.push_back(std::make_unique<TestChannel>(*this));
        gain.target = &channels[0]->volume.gainSource().value();
        setMidiReceiveParameter(&midiReceive);
    }
    ~TestPlugin() override { channels.clear(); }
    std::string getChunkTag() const override { return "TEST"; }
    void noteOn(int note, float velocity) override { notes.push_back({note, velocity, environment().runningPosition(), true}); }
    void noteOff(int note, float velocity) override { notes.push_back({note, velocity, environment().runningPosition(), false}); }
    bool loadPresetFile(const PresetRecord&) override {
        gain.setValue(0.25f, 0);
        other.setValue(0.75f, 0);
        return true;
    }

    struct Note {
        int note;
        float velocity;
        int position;
        bool on;
    };
    TestParameter gain, other, midiReceive;
    std::vector<std::unique_ptr<TestChannel>> channels;
    std::vector<Note> notes;
};

struct RecordingAdapter : GenericPlugin::Adapter {
    void latencyChanged() override {}
    void parametersChanged(int index) override { changed.push_back(index); }
    void presetLoaded() override { ++presets; }
    std::vector<int> changed;
    int presets = 0;
};

// Queues what it is told without locking or allocating, as an editor must.
struct RecordingListener : GenericPlugin::Listener {
    RecordingListener() { calls.reserve(1024); }
    void notify(int code, int value) override {
        if (calls.size() < calls.capacity()) calls.emplace_back(code, value);
    }
    std::vector<std::pair<int, int>> calls;
};

// Host buffers for a stereo block.
struct Block {
    explicit Block(int n, float value = 1.0f) : in(2, std::vector<float>(n, value)), out(2, std::vector<float>(n, -9.0f)) {}
    std::vector<std::vector<float>> in, out;
    const float* ins[2];
    float* outs[2];
    void run(GenericPlugin& p) {
        int n = static_cast<int>(in[0].size());
        for (int c = 0; c < 2; ++c) {
            ins[c] = in[c].data();
            outs[c] = out[c].data();
        }
        AudioThreadGuard guard;
        p.process(ins, 2, outs, 2, n);
        EXPECT_EQ(guard.allocations(), 0);
        EXPECT_EQ(guard.locks(), 0);
    }
};

MidiMessage message(uint8_t status, uint8_t d1, uint8_t d2, int offset) {
    MidiMessage m;
    m.status = status;
    m.data1 = d1;
    m.data2 = d2;
    m.offset = offset;
    return m;
}

}  // namespace

TEST(GenericPlugin, SplitsHostBlocksIntoEnvironmentSizedSubBlocks) {
    TestPlugin p;
    Block b(300);
    b.run(p);
    EXPECT_EQ(p.channels[0]->recorder.counts, (std::vector<int>{128, 128, 44}));
    EXPECT_EQ(b.out[1][299], 1.0f);
    EXPECT_EQ(p.environment().runningPosition(), 300);
}

TEST(GenericPlugin, MidiMessagesCutSubBlocksAndAreDecodedAtTheirOffset) {
    struct Case {
        int block, offset;
        std::vector<int> subBlocks;
        int decodedAt;
    };
    for (const Case& c : {Case{128, 100, {100, 28}, 100}, Case{256, 500, {128, 128}, 256}, Case{0, 0, {}, 0}}) {
        TestPlugin p;
        RecordingListener listener;
        p.setListener(&listener);
        p.receiveMidi(message(0x90, 60, 127, c.offset));
        Block b(c.block);
        b.run(p);
        EXPECT_EQ(p.channels[0]->recorder.counts, c.subBlocks) << c.offset;
        ASSERT_EQ(p.notes.size(), 1u);
        EXPECT_EQ(p.notes[0].position, c.decodedAt);
        EXPECT_TRUE(p.notes[0].on);
        EXPECT_FLOAT_EQ(p.notes[0].velocity, 1.0f);
        EXPECT_EQ(listener.calls, (std::vector<std::pair<int, int>>{{GenericPlugin::kMidiReceived, 0}}));
        p.setListener(nullptr);
    }
}

TEST(GenericPlugin, BatchedChangesApplyTogetherWithOneNotification) {
    TestPlugin p;
    RecordingAdapter adapter;
    RecordingListener listener;
    p.setAdapter(&adapter);
    p.setListener(&listener);

    p.beginUpdate();
    p.gain.setValue(0.5f, 0);
    p.other.setValue(0.5f, 0);
    Block b(64);
    b.run(p);
    EXPECT_TRUE(p.gain.applied.empty());
    EXPECT_TRUE(adapter.changed.empty());
    p.endUpdate();
    EXPECT_EQ(adapter.changed, std::vector<int>{-1});
    EXPECT_EQ(listener.calls, (std::vector<std::pair<int, int>>{{GenericPlugin::kParameterChanged, -1}}));
    b.run(p);
    EXPECT_EQ(p.gain.applied, std::vector<float>{0.5f});
    EXPECT_EQ(p.other.applied, std::vector<float>{0.5f});

    // Outside a batch each change is reported; a change from the host is not echoed to it.
    p.other.setValue(0.1f, FromHost);
    p.other.setValue(0.2f, 0);
    EXPECT_EQ(adapter.changed, (std::vector<int>{-1, p.other.index()}));
    EXPECT_EQ(listener.calls.size(), 3u);
    EXPECT_TRUE(p.presetState().modified());
    p.setListener(nullptr);
}

TEST(GenericPlugin, BypassFadesToDryStopsProcessingAndResetsOnLeaving) {
    TestPlugin p;
    p.setSampleRate(48000.0f);
    p.gain.setValue(0.5f, 0);
    p.reset();  // settles the gain at 0.5 at once
    Block b(480);
    b.run(p);
    EXPECT_FLOAT_EQ(b.out[0][479], 0.5f);

    // 50 ms at 48 kHz = 2400 samples from processed (0.5) to dry (1.0).
    p.setBypass(true);
    std::vector<float> left;
    for (int i = 0; i < 6; ++i) {
        b.run(p);
        left.insert(left.end(), b.out[0].begin(), b.out[0].end());
    }
    EXPECT_NEAR(left[0], 0.5f, 1e-3);
    EXPECT_NEAR(left[1200], 0.75f, 1e-3);
    EXPECT_NEAR(left[2399], 1.0f, 1e-3);
    EXPECT_EQ(left[2400], 1.0f);
    for (size_t i = 1; i < 2400; ++i) ASSERT_GE(left[i], left[i - 1]);

    size_t computed = p.channels[0]->recorder.counts.size();
    int position = p.environment().runningPosition();
    b.run(p);
    EXPECT_EQ(p.channels[0]->recorder.counts.size(), computed);  // fully bypassed: nothing runs
    EXPECT_EQ(p.environment().runningPosition(), position + 480);
    EXPECT_EQ(b.out[1], b.in[1]);

    int resets = p.channels[0]->recorder.resets;
    p.setBypass(false);
    EXPECT_EQ(p.channels[0]->recorder.resets, resets + 1);
    left.clear();
    for (int i = 0; i < 6; ++i) {
        b.run(p);
        left.insert(left.end(), b.out[0].begin(), b.out[0].end());
    }
    EXPECT_NEAR(left[0], 1.0f, 1e-3);  // fades back in, no jump
    EXPECT_NEAR(left[1200], 0.75f, 1e-3);
    EXPECT_FLOAT_EQ(left[2400], 0.5f);
}

TEST(GenericPlugin, BypassOnSharedInputAndOutputBuffers) {
    TestPlugin p;
    p.setBypass(true);
    p.reset();  // completes the fade at once
    std::vector<float> io(256, 0.3f);
    float* outs[2] = {io.data(), io.data()};
    const float* ins[2] = {io.data(), io.data()};
    AudioThreadGuard guard;
    p.process(ins, 2, outs, 2, 256);
    EXPECT_EQ(guard.allocations(), 0);
    EXPECT_EQ(io[255], 0.3f);
}

TEST(GenericPlugin, MusicalClockRunsOnWhileTheTransportStandsAndWrapsAt256) {
    TestPlugin p;
    p.setSampleRate(44100.0f);
    Block b(441);
    p.setTransport(120.0, 8.0f);
    EXPECT_DOUBLE_EQ(p.musicalPosition(), 8.0);
    for (int i = 1; i <= 3; ++i) {
        b.run(p);
        p.setTransport(120.0, 8.0f);
        EXPECT_NEAR(p.musicalPosition(), 8.0 + 0.02 * i, 1e-9);
    }
    p.setTransport(120.0, 255.99f);
    b.run(p);
    p.setTransport(120.0, 255.99f);
    EXPECT_NEAR(p.musicalPosition(), 0.01, 1e-4);
    p.setTransport(120.0, 300.0f);  // a host position beyond the cycle lands inside it
    EXPECT_NEAR(p.musicalPosition(), 44.0, 1e-9);
}

TEST(GenericPlugin, TurningMidiReceptionOffReleasesNotesOnceAndDropsMessages) {
    TestPlugin p;
    Block b(32);
    p.midiReceive.setValue(1.0f, 0);
    b.run(p);
    ASSERT_EQ(p.notes.size(), 1u);
    EXPECT_FALSE(p.notes[0].on);
    EXPECT_EQ(p.notes[0].note, 0);
    EXPECT_FLOAT_EQ(p.notes[0].velocity, 1.0f);
    p.receiveMidi(message(0x90, 64, 100, 0));
    b.run(p);
    EXPECT_EQ(p.notes.size(), 1u);
    p.midiReceive.setValue(0.0f, 0);
    b.run(p);
    p.receiveMidi(message(0x90, 64, 100, 0));
    b.run(p);
    EXPECT_EQ(p.notes.size(), 2u);
}

TEST(GenericPlugin, PresetLoadIsOneBatchKeepsChosenParametersAndJumpsRamps) {
    TestPlugin p;
    RecordingAdapter adapter;
    RecordingListener listener;
    p.setAdapter(&adapter);
    p.setListener(&listener);
    p.keptParameters().push_back(&p.other);
    p.other.setValue(0.4f, 0);
    Block b(64);
    b.run(p);
    adapter.changed.clear();
    listener.calls.clear();

    EXPECT_TRUE(p.loadPreset({"Warm", "/presets/Warm.bxp"}));
    EXPECT_FLOAT_EQ(p.gain.value(), 0.25f);
    EXPECT_FLOAT_EQ(p.other.value(), 0.4f);  // kept across the load
    EXPECT_EQ(adapter.changed, std::vector<int>{-1});
    EXPECT_EQ(adapter.presets, 1);
    EXPECT_EQ(listener.calls, (std::vector<std::pair<int, int>>{{GenericPlugin::kParameterChanged, -1},
                                                                 {GenericPlugin::kPresetChanged, 0}}));
    EXPECT_FALSE(p.presetState().modified());
    EXPECT_EQ(p.presetState().record().name, "Warm");

    b.run(p);  // the reset marker makes the new gain take effect at once
    EXPECT_FLOAT_EQ(b.out[0][0], 0.25f);
    p.setListener(nullptr);
}

TEST(GenericPlugin, ChangesFromAnotherThreadApplyExactlyOnceAndInOrder) {
    TestPlugin p;
    constexpr int kChanges = 20000;
    std::atomic<bool> done{false};
    std::thread editor([&] {
        for (int i = 1; i <= kChanges; ++i) p.other.setValue(static_cast<float>(i) / kChanges, 0);
        done.store(true);
    });
    Block b(128);
    while (!done.load()) b.run(p);
    b.run(p);
    editor.join();
    ASSERT_EQ(static_cast<int>(p.other.applied.size()), kChanges);
    for (int i = 0; i < kChanges; ++i) ASSERT_FLOAT_EQ(p.other.applied[i], static_cast<float>(i + 1) / kChanges);
}

TEST(GenericPlugin, SetListenerWaitsForNotificationsInFlight) {
    TestPlugin p;
    struct SlowListener : GenericPlugin::Listener {
        std::atomic<bool> entered{false}, finished{false};
        void notify(int, int) override {
            entered = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
            finished = true;
        }
    } slow;
    p.setListener(&slow);
    std::thread t([&] { p.gain.setValue(0.3f, 0); });
    while (!slow.entered) std::this_thread::yield();
    p.setListener(nullptr);
    EXPECT_TRUE(slow.finished);
    t.join();
}

TEST(GenericPlugin, ProcessWideObjectsLiveFromFirstToLastInstance) {
    ASSERT_EQ(GenericPlugin::instanceCount(), 0);
    auto a = std::make_unique<TestPlugin>();
    ASSERT_NE(GenericPlugin::sharedSettings(), nullptr);
    EXPECT_EQ(GenericPlugin::versionRecord()->productName, "Test");
    EXPECT_EQ(a->getBlockLength(), 128);
    GenericPlugin::sharedSettings()->conserveMemory = 2;
    auto b = std::make_unique<TestPlugin>();
    EXPECT_EQ(GenericPlugin::instanceCount(), 2);
    EXPECT_EQ(b->getBlockLength(), 32);
    a.reset();
    EXPECT_NE(GenericPlugin::sharedSettings(), nullptr);
    b.reset();
    EXPECT_EQ(GenericPlugin::instanceCount(), 0);
    EXPECT_EQ(GenericPlugin::sharedSettings(), nullptr);
}

TEST(GenericPlugin, MissingSideChainBuffersReadAsSilence) {
    TestPlugin p;
    class SideTap : public wave::Filter {
    public:
        using wave::Filter::Filter;
        void filter(const float* in, SampleBuffer& out, int n, int) override {
            for (int i = 0; i < n; ++i) out[i] = in[i];
        }
    } tap(p.environment());
    tap.setInput(&p.channels[0]->sideChainInput());
    p.channels[0]->setOutputProducer(&tap);
    Block b(64, 0.7f);
    b.run(p);  // two host buffers, side chain expected at 2 and 3
    EXPECT_EQ(b.out[0][10], 0.0f);
    p.setSideChainEnabled(false);
    b.run(p);
    EXPECT_FLOAT_EQ(b.out[0][10], 0.7f);
}

TEST(GenericPlugin, UndoAndCompareRestoreThroughTheQueueAsOneBatch) {
    TestPlugin p;
    RecordingAdapter adapter;
    RecordingListener listener;
    p.setAdapter(&adapter);
    p.setListener(&listener);
    Block b(64);
    UndoHistory& undo = *p.undoHistory();
    undo.setInitialState();
    p.compareStates()->initializeCompare();

    p.gain.setValue(0.2f, 0);
    p.other.setValue(0.9f, 0);
    undo.record();
    b.run(p);
    adapter.changed.clear();
    listener.calls.clear();

    undo.undo();
    EXPECT_FLOAT_EQ(p.gain.value(), 1.0f);
    EXPECT_FLOAT_EQ(p.other.value(), 0.0f);
    EXPECT_EQ(adapter.changed, std::vector<int>{-1});
    b.run(p);  // applied together, and the reset marker makes the gain jump
    EXPECT_EQ(p.gain.applied.back(), 1.0f);
    EXPECT_FLOAT_EQ(b.out[0][0], 1.0f);

    undo.redo();
    EXPECT_FLOAT_EQ(p.other.value(), 0.9f);

    // A holds the initial state, B gets the edit.
    p.compareStates()->switchAB();
    EXPECT_EQ(p.compareStates()->currentIndex(), 1);
    p.other.setValue(0.5f, 0);
    p.compareStates()->switchAB();
    EXPECT_FLOAT_EQ(p.other.value(), 0.9f);
    p.compareStates()->switchAB();
    EXPECT_FLOAT_EQ(p.other.value(), 0.5f);
    p.setListener(nullptr);
}

TEST(GenericPlugin, ControllerValuesReachVirtualParametersByIdentifier) {
    TestPlugin p;
    struct Virtual : MidiVirtualPluginParameter {
        using MidiVirtualPluginParameter::MidiVirtualPluginParameter;
        void setNormalized(float v) override { values.push_back(v); }
        std::vector<float> values;
    } first(p, "Link A"), second(p, "Link B");
    EXPECT_EQ(first.identifier(), GenericPlugin::kFirstVirtualParameter);
    EXPECT_EQ(second.identifier(), GenericPlugin::kFirstVirtualParameter + 1);

    p.setParameterFromController(second.identifier(), 0.25f);
    p.setParameterFromController(GenericPlugin::kFirstVirtualParameter + 7, 0.5f);  // no such parameter
    p.setParameterFromController(p.other.index(), 0.75f);
    EXPECT_TRUE(first.values.empty());
    EXPECT_EQ(second.values, std::vector<float>{0.25f});
    EXPECT_FLOAT_EQ(p.other.value(), 0.75f);
    EXPECT_TRUE(p.presetState().modified());
}

TEST(GenericPlugin, HostControlWordIsRestoredAfterEveryHostCall) {
    TestPlugin p;
    unsigned saved = _mm_getcsr();
    // Hosts that keep denormals, one of them rounding toward zero.
    for (unsigned host : {0x1F80u, 0x7F80u}) {
        _mm_setcsr(host);
        Block b(200);
        b.run(p);
        unsigned afterProcess = _mm_getcsr();
        p.reset();
        unsigned afterReset = _mm_getcsr();
        _mm_setcsr(saved);
        EXPECT_EQ(afterProcess & ~0x3Fu, host) << std::hex << host;  // the low bits are sticky exception flags
        EXPECT_EQ(afterReset & ~0x3Fu, host) << std::hex << host;
    }
}

TEST(GenericPlugin, ChangesOnTheAudioThreadAreReportedLaterWithoutTouchingTheAdapter) {
    TestPlugin p;
    RecordingAdapter adapter;
    adapter.changed.reserve(16);
    p.setAdapter(&adapter);
    {
        GenericPlugin::AudioThreadScope audio(p);
        AudioThreadGuard guard;
        p.setParameterFromController(p.other.index(), 0.5f);
        p.beginUpdate();
        p.gain.setValue(0.3f, 0);
        p.endUpdate();
        p.gain.setValue(0.2f, FromHost);  // the host's own change is never reported back
        EXPECT_EQ(guard.allocations(), 0);
        EXPECT_EQ(guard.locks(), 0);
    }
    EXPECT_TRUE(adapter.changed.empty());
    EXPECT_TRUE(p.parameterReportsPending());
    p.deliverParameterReports();
    EXPECT_EQ(adapter.changed, (std::vector<int>{p.other.index(), -1}));
    EXPECT_FALSE(p.parameterReportsPending());
    // Off the audio thread the adapter hears at once.
    p.other.setValue(0.9f, 0);
    EXPECT_EQ(adapter.changed.back(), p.other.index());
    p.setAdapter(nullptr);
}

TEST(GenericPlugin, AMidiFloodOnTheAudioThreadIsDroppedAndCountedNeverGrowingTheQueue) {
    TestPlugin p;
    p.notes.reserve(4 * GenericPlugin::kMidiQueueNodes);
    {
        GenericPlugin::AudioThreadScope audio(p);
        AudioThreadGuard guard;
        for (int i = 0; i < 2 * GenericPlugin::kMidiQueueNodes; ++i) p.receiveMidi(message(0x90, 60, 100, 0));
        EXPECT_EQ(guard.allocations(), 0);
        EXPECT_EQ(guard.locks(), 0);
    }
    EXPECT_GT(p.droppedOnAudioThread(), GenericPlugin::kMidiQueueNodes - 10);
    Block b(64);
    b.run(p);
    EXPECT_EQ(p.notes.size() + p.droppedOnAudioThread(), 2u * GenericPlugin::kMidiQueueNodes);
}
