#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "tools/aax-test-host/AaxTestHost.h"
#include "AudioThreadGuard.h"
#include "framework/DefaultEventReceiver.h"
#include "framework/FloatParamPluginParameter.h"
#include "framework/IndexedPluginParameter.h"
#include "host/aax/AaxPluginAdapter.h"
#include "persistence/PersistenceGlobals.h"
#include "product/ProductPlugin.h"
#include "wave/VolumeFilter.h"

namespace {

// Counts resets of the graph.
class ResetProbe : public wave::Filter {
public:
    explicit ResetProbe(wave::Environment& env) : wave::Filter(env) { addToResetList(); }
    void filter(const float* in, SampleBuffer& out, int n, int) override {
        for (int i = 0; i < n; ++i) out[i] = in ? in[i] : 0.0f;
    }
    void reset() override { ++resets; }
    int resets = 0;
};

// A small effect with a continuous gain, an indexed mode and a side chain mixed into the right
// channel, so that routing, automation and chunks can be observed at the outputs.
class SmallEffect : public GenericPlugin {
public:
    class Channel : public GenericPlugin::Channel {
    public:
        Channel(GenericPlugin& p) : GenericPlugin::Channel(p), probe(p.environment()), volume(p.environment()) {
            probe.setInput(&input());
            volume.setInput(&probe);
            setOutputProducer(&volume);
        }
        ResetProbe probe;
        VolumeFilter volume;
    };

    SmallEffect() : gain(this, "Gain"), mode(this, "Mode") {
        notes.reserve(64);
        positions.reserve(1 << 16);
        gain.setRange(0.0f, 1.0f, 0.5f);
        gain.setValue(0.5f, 0);
        mode.setIndexRange(1, 3, 2);
        mode.setItemNames("One,Two,Three");
        initialize("Lorimane");
        for (int i = 0; i < 2; ++i) {
            channels.push_back(std::make_unique<Channel>(*this));
            gain.bind(&channels.back()->volume.gainSource().value());
        }
        for (int i = 0; i < getParameterCount(); ++i) getParameter(i)->applyToEngine(getParameter(i)->value());
        environment().markResetPosition();
        last = this;
    }
    ~SmallEffect() override { channels.clear(); }
    std::string getChunkTag() const override { return "BLms"; }
    int getCategory() const override { return 3; }
    bool hasSideChain() const override { return true; }
    // The logs never grow on the audio thread.
    void noteOn(int note, float) override {
        if (notes.size() < notes.capacity()) notes.push_back(note);
    }
    void transportChanged(double, double position) override {
        if (positions.size() == positions.capacity()) positions.clear();
        positions.push_back(position);
    }

    FloatParamPluginParameter gain;
    IndexedPluginParameter<int> mode;
    std::vector<std::unique_ptr<Channel>> channels;
    std::vector<int> notes;
    std::vector<double> positions;
    static inline SmallEffect* last = nullptr;
};

std::unique_ptr<GenericPlugin> makeSmallEffect() { return std::make_unique<SmallEffect>(); }

class AaxAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        AaxPluginAdapter::setPluginFactory(&makeSmallEffect);
        host = std::make_unique<AaxTestHost>(&GetEffectDescriptions);
        ASSERT_EQ(host->describe(), AAX_SUCCESS);
    }
    std::unique_ptr<AaxTestHost::Instance> create(size_t variant = 0) {
        std::string error;
        auto instance = host->createInstance(variant, 48000.0f, error);
        EXPECT_TRUE(instance) << error;
        plugin = SmallEffect::last;
        return instance;
    }
    AaxPluginAdapter& adapter(AaxTestHost::Instance& i) { return static_cast<AaxPluginAdapter&>(i.effect()); }

    // Renders n samples of constant inputs (main left, main right, side chain); answers the outputs.
    std::vector<std::vector<float>> render(AaxTestHost::Instance& i, int n, std::vector<float> levels = {1.0f, 0.5f, 0.25f}) {
        std::vector<std::vector<float>> in(i.inputChannels()), out(2, std::vector<float>(n));
        std::vector<const float*> ins;
        for (int c = 0; c < i.inputChannels(); ++c) {
            in[c].assign(n, levels[c]);
            ins.push_back(in[c].data());
        }
        float* outs[2] = {out[0].data(), out[1].data()};
        AudioThreadGuard guard;
        i.render(ins.data(), outs, n);
        EXPECT_EQ(guard.allocations(), 0);
        EXPECT_EQ(guard.locks(), 0);
        return out;
    }

    std::unique_ptr<AaxTestHost> host;
    SmallEffect* plugin = nullptr;
};

AAX_CPropertyValue property(const AAX_CPropertyMap& map, int32_t id) {
    AAX_CPropertyValue v = -1;
    map.GetProperty(id, v);
    return v;
}

}  // namespace

TEST_F(AaxAdapterTest, DescribesThreeVariantsInOrderWithTheirIdentifiers) {
    const AAX_CCollection& c = host->collection();
    EXPECT_EQ(c.manufacturerName(), "Brixholde");
    EXPECT_EQ(c.packageNames(), (std::vector<std::string>{"Brixholde Lorimane 2", "Lorimane 2"}));
    EXPECT_EQ(c.packageVersion(), 2u);
    ASSERT_EQ(c.effects().size(), 3u);

    struct Expected {
        const char* id;
        const char* pluginId;
        int32_t idProperty;
        AAX_CPropertyValue inputStem;
    };
    Expected expected[] = {{"com.brixholde.Lorimane.2.AAX", "BLms", AAX_eProperty_PlugInID_Native, AAX_eStemFormat_Stereo},
                           {"com.brixholde.Lorimane.2.AAX.AS", "BLm5", AAX_eProperty_PlugInID_AudioSuite, AAX_eStemFormat_Stereo},
                           {"com.brixholde.Lorimane.2.AAX.MonoToStereo", "BLm1", AAX_eProperty_PlugInID_Native, AAX_eStemFormat_Mono}};
    for (size_t i = 0; i < 3; ++i) {
        const auto& [id, effect] = c.effects()[i];
        EXPECT_EQ(id, expected[i].id);
        EXPECT_EQ(effect->names(), (std::vector<std::string>{"Brixholde Lorimane 2", "Lorimane 2"}));
        EXPECT_EQ(effect->categories(), 0x10u);
        EXPECT_EQ(property(*effect->properties(), 11), static_cast<AAX_CPropertyValue>(AAX_FourChar("Brix")));
        EXPECT_EQ(property(*effect->properties(), 12), static_cast<AAX_CPropertyValue>(AAX_FourChar("BLms")));
        EXPECT_EQ(property(*effect->properties(), 58), 0x7fffffff);
        const AAX_CComponentDescriptor& component = *effect->components().at(0);
        ASSERT_NE(component.field(5), nullptr);  // side chain
        const AAX_CPropertyMap& proc = component.processProcs().at(0).properties;
        EXPECT_EQ(property(proc, expected[i].idProperty), static_cast<AAX_CPropertyValue>(AAX_FourChar(expected[i].pluginId[0], expected[i].pluginId[1], expected[i].pluginId[2], expected[i].pluginId[3])));
        EXPECT_EQ(property(proc, 51), expected[i].inputStem);
        EXPECT_EQ(property(proc, 52), AAX_eStemFormat_Stereo);
        EXPECT_EQ(property(proc, 108), i == 1 ? 1 : -1);
    }

    // Without the product-id correction each variant reports its own identifier.
    auto keep = create();
    GenericPlugin::sharedSettings()->correctDigiProductIds = false;
    AaxTestHost other(&GetEffectDescriptions);
    ASSERT_EQ(other.describe(), AAX_SUCCESS);
    EXPECT_EQ(property(*other.collection().effects()[2].second->properties(), 12),
              static_cast<AAX_CPropertyValue>(AAX_FourChar("BLm1")));
    GenericPlugin::sharedSettings()->correctDigiProductIds = true;
}

TEST_F(AaxAdapterTest, MirrorsEveryParameterAfterTheMasterBypass) {
    auto i = create();
    const AAX_CParameterManager& p = i->effect().parameters();
    ASSERT_EQ(p.NumParameters(), 3);
    const AAX_IParameter& bypass = *p.GetParameter(0);
    EXPECT_EQ(bypass.Identifier(), "MasterBypassID");
    EXPECT_EQ(bypass.Name(), "Master Bypass");
    EXPECT_EQ(bypass.GetNumberOfSteps(), 2);
    std::string text;
    bypass.GetValueString(text);
    EXPECT_EQ(text, "bypass");

    const AAX_IParameter& gain = *p.GetParameter(1);
    EXPECT_EQ(gain.Identifier(), "0");
    EXPECT_EQ(gain.GetNumberOfSteps(), 36000);
    EXPECT_EQ(gain.GetType(), AAX_eParameterType_Continuous);
    EXPECT_DOUBLE_EQ(gain.GetValueAsDouble(), 0.5);

    const AAX_IParameter& mode = *p.GetParameter(2);
    EXPECT_EQ(mode.Identifier(), "1");
    EXPECT_EQ(mode.valueType(), AAX_IParameter::Long);
    EXPECT_EQ(mode.GetNumberOfSteps(), 3);
    EXPECT_EQ(mode.GetType(), AAX_eParameterType_Discrete);
    EXPECT_EQ(mode.GetValueAsDouble(), 1.0);  // index 2 is offset 1 from the minimum 1
    mode.GetValueString(text);
    EXPECT_EQ(text, "Two");
}

TEST_F(AaxAdapterTest, HostValuesWithinTheCurrentStepAreEchoesAndLeaveTheParameterAlone) {
    auto i = create();
    ASSERT_EQ(i->automate("0", 0.5 + 0.2 / 36000.0), AAX_SUCCESS);
    EXPECT_EQ(plugin->gain.value(), 0.5f);
    i->automate("0", 0.75);
    EXPECT_FLOAT_EQ(plugin->gain.value(), 0.75f);
    i->automate("1", 1.0);
    EXPECT_EQ(plugin->mode.value(), 3.0f);
    // The bypass and unknown identifiers only take the base behaviour.
    EXPECT_EQ(i->automate("MasterBypassID", 1.0), AAX_SUCCESS);
    EXPECT_FLOAT_EQ(plugin->gain.value(), 0.75f);
    EXPECT_EQ(i->automate("7", 0.3), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(i->automate("Volume", 0.3), AAX_ERROR_INVALID_PARAMETER_ID);
}

TEST_F(AaxAdapterTest, RefusesWhatItDoesNotKnowWithTheResultCodes) {
    auto i = create();
    AAX_CEffectParameters& e = i->effect();
    AAX_CTypeID id;
    EXPECT_EQ(e.GetChunkIDFromIndex(2, id), AAX_ERROR_INVALID_CHUNK_INDEX);
    EXPECT_EQ(id, 0u);
    uint32_t size;
    EXPECT_EQ(e.GetChunkSize(AAX_FourChar("xxxx"), size), AAX_ERROR_INVALID_CHUNK_ID);
    AAX_SPlugInChunk chunk;
    EXPECT_EQ(e.GetChunk(AAX_FourChar("xxxx"), chunk), AAX_ERROR_INVALID_CHUNK_ID);
    EXPECT_EQ(e.SetChunk(AAX_FourChar("xxxx"), chunk), AAX_ERROR_INVALID_CHUNK_ID);
    // The controls chunk must be sized first; its size is what GetChunk checks against.
    EXPECT_EQ(e.GetChunk(AaxPluginAdapter::kControlsChunk, chunk), AAX_ERROR_INCORRECT_CHUNK_SIZE);
    EXPECT_EQ(e.GetChunkSize(AaxPluginAdapter::kControlsChunk, size), AAX_SUCCESS);
    EXPECT_EQ(e.GetChunk(AaxPluginAdapter::kControlsChunk, chunk), AAX_SUCCESS);
    EXPECT_EQ(std::string(chunk.fName), "Complete Controls State");

    uint32_t written = 99;
    void* address = nullptr;
    EXPECT_EQ(e.GetCustomData(1, 8, &address, written), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(e.GetCustomData(0, 4, &address, written), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(e.GetCustomData(0, 8, &address, written), AAX_SUCCESS);
    EXPECT_EQ(written, 8u);
    EXPECT_EQ(address, static_cast<GenericPlugin*>(plugin));
}

TEST_F(AaxAdapterTest, ControlsChunkRestoresEveryParameterByPositionAndRendersIdentically) {
    auto first = create();
    first->automate("0", 0.3);
    first->automate("1", 0.0);
    AAX_Result r;
    auto chunks = first->saveChunks(r);
    ASSERT_EQ(r, AAX_SUCCESS);
    ASSERT_EQ(chunks.size(), 2u);
    SmallEffect* original = plugin;
    first->requestReset();
    auto a = render(*first, 3000);

    auto second = create();
    ASSERT_EQ(second->restoreChunks(chunks), AAX_SUCCESS);
    EXPECT_FLOAT_EQ(plugin->gain.value(), 0.3f);
    EXPECT_EQ(plugin->mode.value(), 1.0f);
    for (const AAX_SPlugInChunk& c : chunks) {
        bool equal = false;
        second->effect().CompareActiveChunk(c, equal);
        EXPECT_TRUE(equal) << AAX_FourCharText(c.fChunkID);
    }
    second->requestReset();
    auto b = render(*second, 3000);
    EXPECT_EQ(a, b);
    EXPECT_NE(original, plugin);

    second->automate("0", 0.9);
    bool equal = true;
    second->effect().CompareActiveChunk(chunks[0], equal);
    EXPECT_FALSE(equal);
}

TEST_F(AaxAdapterTest, MalformedChunksAreRefusedWithoutChangingAnything) {
    auto i = create();
    i->automate("0", 0.3);
    AAX_Result r;
    auto chunks = i->saveChunks(r);
    AAX_SPlugInChunk broken = chunks[0];
    broken.fData.resize(broken.fData.size() / 2);  // cut off in the middle of an entry
    i->automate("0", 0.8);
    EXPECT_NE(i->effect().SetChunk(AaxPluginAdapter::kControlsChunk, broken), AAX_SUCCESS);
    EXPECT_FLOAT_EQ(plugin->gain.value(), 0.8f);
    broken.fData = {1, 2, 3};
    EXPECT_NE(i->effect().SetChunk(AaxPluginAdapter::kControlsChunk, broken), AAX_SUCCESS);
    EXPECT_FLOAT_EQ(plugin->gain.value(), 0.8f);
}

TEST_F(AaxAdapterTest, PresetNameChunkRenamesAndClearsThePathOfAnUnknownPreset) {
    auto i = create();
    plugin->presetState().setRecord({"Old", "/presets/Old.bxp"});
    AAX_SPlugInChunk chunk;
    chunk.fChunkID = AaxPluginAdapter::kPresetNameChunk;
    chunk.fData.assign(124, 0);
    std::memcpy(chunk.fData.data(), "Somewhere Else", 14);
    ASSERT_EQ(i->effect().SetChunk(chunk.fChunkID, chunk), AAX_SUCCESS);
    EXPECT_EQ(plugin->presetState().record().name, "Somewhere Else");
    EXPECT_EQ(plugin->presetState().record().path, "");

    // A name filling all 64 bytes without a terminator is cut at 63; a short chunk is read as far
    // as it goes.
    std::memset(chunk.fData.data(), 'x', 124);
    i->effect().SetChunk(chunk.fChunkID, chunk);
    EXPECT_EQ(plugin->presetState().record().name, std::string(63, 'x'));
    chunk.fData.assign({'A', 'b'});
    i->effect().SetChunk(chunk.fChunkID, chunk);
    EXPECT_EQ(plugin->presetState().record().name, "Ab");

    AAX_SPlugInChunk saved;
    ASSERT_EQ(i->effect().GetChunk(AaxPluginAdapter::kPresetNameChunk, saved), AAX_SUCCESS);
    EXPECT_EQ(saved.fSize, 124);
    EXPECT_EQ(std::string(saved.fName), "Brixholde Preset Name");
    bool equal = false;
    i->effect().CompareActiveChunk(saved, equal);
    EXPECT_TRUE(equal);
}

TEST_F(AaxAdapterTest, RoutesInputsForEachVariant) {
    auto stereo = create(0);
    auto out = render(*stereo, 64);
    EXPECT_FLOAT_EQ(out[0][63], 0.5f);   // 1.0 × gain 0.5
    EXPECT_FLOAT_EQ(out[1][63], 0.25f);  // 0.5 × 0.5
    auto mono = create(2);
    ASSERT_EQ(mono->inputChannels(), 2);  // mono main input and the side chain
    out = render(*mono, 64);
    EXPECT_FLOAT_EQ(out[0][63], 0.5f);
    EXPECT_FLOAT_EQ(out[1][63], 0.5f);  // both channels from input 0

    // A side-chain index outside the host's inputs reads as silence instead of stray memory.
    stereo->setSideChainIndex(57);
    render(*stereo, 64);
}

TEST_F(AaxAdapterTest, MasterBypassFadesAndLeavingItResetsTheGraph) {
    auto i = create();
    render(*i, 480);
    i->setMasterBypass(true);
    auto out = render(*i, 2400);  // 50 ms at 48 kHz
    EXPECT_NEAR(out[0][0], 0.5f, 1e-3);
    EXPECT_NEAR(out[0][2399], 1.0f, 1e-3);
    out = render(*i, 64);
    EXPECT_EQ(out[0][0], 1.0f);
    int resets = plugin->channels[0]->probe.resets;
    i->setMasterBypass(false);
    render(*i, 64);
    EXPECT_EQ(plugin->channels[0]->probe.resets, resets + 1);
}

TEST_F(AaxAdapterTest, ResetRequestActsAtTheNextBlock) {
    auto i = create();
    render(*i, 64);
    int resets = plugin->channels[0]->probe.resets;
    i->requestReset();
    EXPECT_EQ(plugin->channels[0]->probe.resets, resets);
    render(*i, 64);
    EXPECT_EQ(plugin->channels[0]->probe.resets, resets + 1);
    render(*i, 64);
    EXPECT_EQ(plugin->channels[0]->probe.resets, resets + 1);
}

TEST_F(AaxAdapterTest, TransportArrivesInQuarterNotesWhateverTheMeter) {
    struct Case {
        int numerator, denominator, bars, beats;
        int64_t ticks;
        double quarters;
    };
    for (Case c : {Case{4, 4, 2, 3, 0, 10.0}, Case{4, 4, 0, 1, 480000, 0.5}, Case{6, 8, 1, 1, 0, 3.0},
                   Case{6, 8, 0, 4, 240000, 1.75}, Case{3, 4, 1, 2, 0, 4.0}}) {
        auto i = create();
        i->setTransport(120.0, c.numerator, c.denominator, c.bars, c.beats, c.ticks);
        render(*i, 32);
        ASSERT_FALSE(plugin->positions.empty());
        EXPECT_NEAR(plugin->positions.back(), c.quarters, 1e-6) << c.numerator << "/" << c.denominator;
    }
    auto i = create();
    i->clearTransport();
    render(*i, 32);
    EXPECT_EQ(plugin->positions.back(), 0.0);
}

TEST_F(AaxAdapterTest, MidiPacketsReachThePlugInAtTheirOffsets) {
    auto i = create();
    i->addMidi(0x90, 60, 100, 10);
    i->addMidi(0x90, 0, 0, 20, 0);  // empty packet: skipped
    i->addMidi(0x91, 62, 90, 30);
    render(*i, 64);
    EXPECT_EQ(plugin->notes, (std::vector<int>{60, 62}));
}

namespace {
// The product's own plug-in in the test host.
class AaxProductTest : public AaxAdapterTest {
protected:
    void SetUp() override {
        AaxPluginAdapter::setPluginFactory(&makeProductPlugin);
        host = std::make_unique<AaxTestHost>(&GetEffectDescriptions);
        ASSERT_EQ(host->describe(), AAX_SUCCESS);
    }
    std::unique_ptr<AaxTestHost::Instance> createProduct() {
        std::string error;
        auto instance = host->createInstance(0, 48000.0f, error);
        EXPECT_TRUE(instance) << error;
        return instance;
    }
    static int indexOf(GenericPlugin& plugin, const std::string& name) {
        for (int i = 0; i < plugin.getParameterCount(); ++i)
            if (plugin.getParameter(i)->name() == name) return i;
        return -1;
    }
    // Waits for something another thread does; false when it did not happen within two seconds.
    template <typename F>
    static bool eventually(F done) {
        for (int n = 0; n < 200 && !done(); ++n) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return done();
    }
};
}  // namespace

TEST_F(AaxProductTest, AControllerInTheMapFileMovesItsParameterAndTheHostHearsOfIt) {
    std::string path;
    int wet = -1, dry = -1;
    {
        auto probe = createProduct();
        GenericPlugin& plugin = *adapter(*probe).plugin();
        wet = indexOf(plugin, "Wet Level");
        dry = indexOf(plugin, "Dry Level");
        path = PersistenceGlobals::instance()->controllerMapPath();
    }
    ASSERT_GE(wet, 0);
    MidiControllerMap file;
    file.assignController(20, wet);
    ASSERT_TRUE(file.save(path));

    auto i = createProduct();
    GenericPlugin& plugin = *adapter(*i).plugin();
    AbstractPluginParameter& p = *plugin.getParameter(wet);
    i->addMidi(0xB0, 20, 0, 5);
    render(*i, 64);
    EXPECT_FLOAT_EQ(p.value(), p.normalizedToPlain(0.0f));
    EXPECT_TRUE(plugin.presetState().modified());
    // The host's own parameter follows, reported from the host's idle call, outside the audio thread.
    AAX_IParameter* hosted = i->effect().parameters().GetParameterByID(std::to_string(wet));
    ASSERT_NE(hosted, nullptr);
    i->idle();
    EXPECT_EQ(hosted->GetNormalizedValue(), 0.0);

    // Learning binds the next controller to the target, in the map every instance shares.
    auto* receiver = dynamic_cast<DefaultEventReceiver*>(&plugin.eventReceiver());
    ASSERT_NE(receiver, nullptr);
    receiver->channelReceiver().setLearnTarget(dry);
    i->addMidi(0xB3, 21, 127, 0);
    render(*i, 64);
    receiver->channelReceiver().setLearnTarget(-1);
    EXPECT_EQ(PersistenceGlobals::instance()->controllerMap().parameterFor(21), dry);
    EXPECT_FLOAT_EQ(plugin.getParameter(dry)->value(), plugin.getParameter(dry)->normalizedToPlain(1.0f));
    i.reset();
    std::filesystem::remove(path);
}

TEST_F(AaxProductTest, AProgramChangeLoadsItsPresetWithTheEditorClosed) {
    auto i = createProduct();
    GenericPlugin& plugin = *adapter(*i).plugin();
    ASSERT_NE(GenericPlugin::sharedSettings(), nullptr);
    GenericPlugin::sharedSettings()->enableMidiProgramChanges = true;
    std::string before = plugin.presetState().record().name;
    i->addMidi(0xC0, 2, 0, 0, 2);
    render(*i, 64);
    EXPECT_TRUE(eventually([&] { return plugin.presetState().record().name != before; }))
        << "still " << before;
    GenericPlugin::sharedSettings()->enableMidiProgramChanges = false;
}

TEST_F(AaxAdapterTest, AutomationFromAHostThreadWhileAudioRuns) {
    auto i = create();
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        for (int n = 0; !stop.load(); ++n) {
            i->automate("0", (n % 1000) / 1000.0);
            i->automate("1", (n % 3) / 2.0);
            if (n % 100 == 0) i->setMasterBypass(n % 200 == 0);
        }
    });
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int blocks = 0;
    while (std::chrono::steady_clock::now() < until) {
        auto out = render(*i, 128);
        ASSERT_TRUE(std::isfinite(out[0][127]));
        ++blocks;
    }
    stop = true;
    automation.join();
    EXPECT_GT(blocks, 100);
}

// A learned controller: 7 drives the gain.
struct GainOnController7 : AbstractChannelEventReceiver::ControllerMap {
    int parameterFor(int controller) const override { return controller == 7 ? 0 : -1; }
    void assign(int, int) override {}
};

TEST_F(AaxAdapterTest, LearnedControllerChangesReachTheHostFromItsIdleCallNotFromRender) {
    auto i = create();
    GainOnController7 map;
    auto& receiver = dynamic_cast<DefaultEventReceiver&>(plugin->eventReceiver()).channelReceiver();
    receiver.setControllerMap(&map);
    const AAX_IParameter& hostGain = *adapter(*i).parameters().GetParameterByID("0");
    for (int v = 0; v <= 127; v += 9) {
        i->addMidi(0xB0, 7, static_cast<uint8_t>(v), 0);
        int64_t hostCalls = adapter(*i).numberOfChanges();
        render(*i, 64);  // fails on any allocation or lock inside the render call
        EXPECT_EQ(adapter(*i).numberOfChanges(), hostCalls) << "the host was called from the render call";
        i->idle();
        ASSERT_NEAR(hostGain.GetNormalizedValue(), v / 127.0, 1e-6) << v;
    }
    receiver.setControllerMap(nullptr);
}

// Editor, host and audio thread at once: the host automates the mode, the editor moves the gain and
// runs the idle call, the audio thread renders with a learned controller also moving the gain. Runs
// LORIMANE_STRESS_SECONDS (1 s unless set; the ThreadSanitizer run sets 10).
TEST_F(AaxAdapterTest, EditorHostAndAudioThreadsAtOnce) {
    auto i = create();
    GainOnController7 map;
    auto& receiver = dynamic_cast<DefaultEventReceiver&>(plugin->eventReceiver()).channelReceiver();
    receiver.setControllerMap(&map);
    const char* seconds = std::getenv("LORIMANE_STRESS_SECONDS");
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(seconds ? std::atoi(seconds) * 1000 : 1000);
    std::atomic<bool> stop{false};
    std::thread host([&] {
        // A fast automation lane; a host thread that never sleeps would fill every queue.
        for (int n = 0; !stop.load(); ++n) {
            i->automate("1", (n % 3) / 2.0);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    std::thread editor([&] {
        for (int n = 0; !stop.load(); ++n) {
            plugin->gain.setValue((n % 100) / 100.0f, 0);
            i->idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // Blocks of 64 samples at 48 kHz, in real time as a host plays them.
    int blocks = 0;
    for (auto next = std::chrono::steady_clock::now(); next < until;) {
        i->addMidi(0xB0, 7, static_cast<uint8_t>(blocks % 128), 0);
        auto out = render(*i, 64);
        ASSERT_TRUE(std::isfinite(out[0][63]));
        ++blocks;
        next += std::chrono::microseconds(1333);
        std::this_thread::sleep_until(next);
    }
    stop = true;
    host.join();
    editor.join();
    i->idle();
    // The last word on the gain reached the host.
    EXPECT_NEAR(adapter(*i).parameters().GetParameterByID("0")->GetNormalizedValue(),
                plugin->gain.plainToNormalized(plugin->gain.value()), 1e-6);
    EXPECT_EQ(plugin->droppedOnAudioThread(), 0);
    receiver.setControllerMap(nullptr);
}

TEST_F(AaxAdapterTest, AFailedStartUpIsAFailedEffectInitNotAnException) {
    AaxPluginAdapter::setPluginFactory([]() -> std::unique_ptr<GenericPlugin> { throw std::runtime_error("resource missing"); });
    std::string error;
    EXPECT_EQ(host->createInstance(0, 48000.0f, error), nullptr);
    EXPECT_NE(error.find("failed"), std::string::npos);
    AAX_CCollection collection;
    EXPECT_NE(GetEffectDescriptions(collection), AAX_SUCCESS);
}
