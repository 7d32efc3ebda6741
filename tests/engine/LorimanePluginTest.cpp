#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Golden.h"
#include "EngineRig.h"
#include "engine/LorimaneSettings.h"
#include "framework/MidiMessage.h"
#include "tools/lorimane-render/RenderCommand.h"

namespace {

std::string text(EngineRig& rig, const std::string& name) {
    AbstractPluginParameter& p = rig.parameter(name);
    return p.plainToText(p.value());
}

void sendMidi(EngineRig& rig, uint8_t status, uint8_t data1, uint8_t data2) {
    MidiMessage m;
    m.status = status;
    m.data1 = data1;
    m.data2 = data2;
    rig.plugin->receiveMidi(m);
    rig.process(rig.silence(64));
}

}  // namespace

TEST(LorimanePlugin, ParametersShowAndReadTheirValuesAsDocumented) {
    EngineRig rig;
    EXPECT_EQ(text(rig, "Delay L Time"), "350.0 ms");
    float timePlain = rig.parameter("Delay L Time").value();
    EXPECT_GT(timePlain, 0.29f);
    EXPECT_LT(timePlain, 0.30f);
    EXPECT_FLOAT_EQ(rig.plugin->delays.set(0).crossFeedback.engineValue(1.0f), 1.0f);
    EXPECT_NEAR(std::exp2(rig.plugin->filters.set(0).freq.engineValue(0.0f)), 4.81f, 0.01f);
    EXPECT_NEAR(std::exp2(rig.plugin->filters.set(0).freq.engineValue(1.0f)), 75616.0f, 1.0f);
    EXPECT_EQ(rig.parameter("Filter 1 Pan").plainToText(3.5f), "1.000");
    EXPECT_EQ(text(rig, "Receive Midi"), "Enabled");
    EXPECT_EQ(text(rig, "XLFO 1 Frequency"), "1.000 Hz");
    EXPECT_EQ(text(rig, "XLFO 1 Frequency Offset"), "1.000");
    EXPECT_EQ(text(rig, "EG 1 Sustain"), "0.00 dB");
    EXPECT_EQ(rig.parameter("EG 1 Sustain").plainToText(0.0f), "-INF dB");
    EXPECT_EQ(text(rig, "Slot 1 Level"), "0.160");
    EXPECT_EQ(rig.parameter("Slot 1 Source").plainToText(9.0f), "XLFO 1");

    struct Typed {
        const char* name;
        const char* typed;
        float engine;
    };
    for (Typed t :
         {Typed{"Input Level", "6", std::pow(10.0f, 6.0f / 20.0f)}, Typed{"EF 1 Release", "1 s", 1.0f},
          Typed{"Delay L Offset", "2", 2.0f}, Typed{"Dry Level", "-6.0206 dB", 0.5f}}) {
        rig.set(t.name, t.typed);
        auto& p = static_cast<FloatPluginParameter&>(rig.parameter(t.name));
        EXPECT_NEAR(p.engineValue(p.value()), t.engine, 1e-4f) << t.name;
    }
    // The slope's raw values are 1 to 3; its first item "12" is raw value 1.
    auto& slope = rig.plugin->filters.set(0).slope;
    EXPECT_EQ(slope.rawValue(), GenericFilter::Slope12);
    float plain = 0.0f;
    EXPECT_TRUE(slope.textToPlain("48", plain));
    EXPECT_FALSE(slope.textToPlain("4", plain));
    // A step list never drops below one active step.
    auto& steps = rig.plugin->xlfos.set(0).steps;
    steps.numActiveParameter().setValue(0.0f, 0);
    EXPECT_EQ(steps.activeCount(), 1);
}

TEST(LorimanePlugin, ParameterListMatchesTheGoldenFile) {
    LorimanePlugin plugin;
    std::ostringstream list;
    listParameters(plugin, list);
    expectMatchesGolden(list.str(), std::string(LORIMANE_ENGINE_TEST_DIR) + "/parameters.golden");
}

TEST(LorimanePlugin, ChannelModeRenamesTheDelayParametersAndKeepsTheirValues) {
    EngineRig rig;
    rig.set("Delay R Time", "800 ms");
    rig.settle();
    rig.set("Channel Mode", "Mid/Side");
    rig.process(rig.silence(64));
    std::vector<std::string> names;
    for (int i = 0; i < 14; ++i) names.push_back(rig.plugin->getParameter(i)->name());
    EXPECT_EQ(names[0], "Delay M Time");
    EXPECT_EQ(names[6], "Delay M Pan");
    EXPECT_EQ(names[7], "Delay S Time");
    EXPECT_EQ(names[11], "Delay S Cross Feedback");
    EXPECT_EQ(text(rig, "Delay S Time"), "800.0 ms");
    rig.set("Channel Mode", "Left/Right");
    rig.process(rig.silence(64));
    EXPECT_EQ(rig.plugin->getParameter(0)->name(), "Delay L Time");
    EXPECT_EQ(rig.plugin->getParameter(13)->name(), "Delay R Pan");
}

TEST(LorimanePlugin, NotesOpenAndReleaseMidiTriggeredEnvelopes) {
    EngineRig rig;
    rig.set("Num Active EGs", "2");
    rig.set("EG 1 Triggering", "MIDI");
    rig.set("EG 1 Attack", "0.5 s");
    rig.settle();
    EnvelopeGenerator& midiEnvelope = rig.plugin->envelopeVoice(0).generator;
    EnvelopeGenerator& audioEnvelope = rig.plugin->envelopeVoice(1).generator;

    sendMidi(rig, 0x90, 60, 100);
    sendMidi(rig, 0x90, 64, 100);
    EXPECT_TRUE(midiEnvelope.gate());
    EXPECT_FALSE(audioEnvelope.gate());
    EXPECT_EQ(rig.plugin->heldNotes(), 2);
    sendMidi(rig, 0x80, 60, 0);
    EXPECT_TRUE(midiEnvelope.gate());  // one note is still held
    sendMidi(rig, 0x80, 64, 0);
    EXPECT_FALSE(midiEnvelope.gate());
    EXPECT_EQ(rig.plugin->heldNotes(), 0);

    // Note 0 releases at once, whatever is held.
    sendMidi(rig, 0x90, 60, 100);
    sendMidi(rig, 0x90, 62, 100);
    rig.plugin->noteOn(0, 1.0f);
    EXPECT_FALSE(midiEnvelope.gate());
    EXPECT_EQ(rig.plugin->heldNotes(), 0);

    // All notes off releases every held note, not just one.
    sendMidi(rig, 0x90, 60, 100);
    sendMidi(rig, 0x90, 62, 100);
    sendMidi(rig, 0xB0, 123, 0);
    EXPECT_FALSE(midiEnvelope.gate());
    EXPECT_EQ(rig.plugin->heldNotes(), 0);
    sendMidi(rig, 0x90, 60, 100);
    EXPECT_EQ(rig.plugin->heldNotes(), 1);

    // Turning MIDI reception off releases what is held.
    rig.set("Receive Midi", "Disabled");
    rig.process(rig.silence(64));
    EXPECT_FALSE(midiEnvelope.gate());
    EXPECT_EQ(rig.plugin->heldNotes(), 0);
}

TEST(LorimanePlugin, SynchronisedDelayTimesFollowTheTempo) {
    EngineRig rig;
    rig.set("Delay L Sync", "Note");
    rig.set("Delay R Sync", "Quarter Note");
    rig.set("Delay R Offset", "0.5");
    rig.settle();
    auto settledTime = [&](int channel) {
        rig.process(rig.silence(std::size_t(rig.samples(300))));
        return rig.plugin->channel(channel).timeController().samples()[0];
    };
    struct Case {
        double tempo;
        float left, right;
    };
    for (Case c : {Case{120, 500, 62.5f}, Case{60, 1000, 125}, Case{0, 1000, 125}, Case{20, 3000, 375}}) {
        rig.tempo = c.tempo;
        EXPECT_NEAR(settledTime(0), c.left, 0.01f) << c.tempo;
        EXPECT_NEAR(settledTime(1), c.right, 0.01f) << c.tempo;
    }
}

TEST(LorimanePlugin, SnapChangesTheXLFOsSourceType) {
    EngineRig rig;
    rig.set("XLFO 2 Snap", "Snap");
    rig.process(rig.silence(64));
    EXPECT_EQ(rig.plugin->matrix().sourceType(9), ModulationMatrixPlugin::SnappedXLFOSource);
    EXPECT_EQ(rig.plugin->matrix().sourceType(8), ModulationMatrixPlugin::XLFOSource);
    rig.set("XLFO 2 Snap", "No Snap");
    rig.process(rig.silence(64));
    EXPECT_EQ(rig.plugin->matrix().sourceType(9), ModulationMatrixPlugin::XLFOSource);
}

TEST(LorimanePlugin, AnswersItsIdentityAndEditorSizeFromItsSettings) {
    LorimanePlugin plugin;
    EXPECT_EQ(plugin.getCategory(), 3);
    EXPECT_EQ(plugin.getChunkTag(), "BLms");
    EXPECT_TRUE(plugin.hasSideChain());
    auto& settings = dynamic_cast<LorimaneSettings&>(plugin.settings());
    EXPECT_EQ(settings.expandedSection.get(), -1);
    EXPECT_EQ(plugin.getEditorWidth(), 640);
    EXPECT_EQ(plugin.getEditorHeight(), 321);
    settings.interfaceLayout.set(1);
    settings.showModulation.set(true);
    EXPECT_EQ(plugin.getEditorWidth(), 926);
    EXPECT_EQ(plugin.getEditorHeight(), 514);
    ASSERT_EQ(plugin.virtualParameters().size(), 2u);
    EXPECT_EQ(plugin.virtualParameters()[0]->name(), "Filter Link Freq");
    EXPECT_EQ(plugin.virtualParameters()[1]->identifier(), GenericPlugin::kFirstVirtualParameter + 1);
    EXPECT_EQ(plugin.filterLinkPeak.members().size(), 2u);
    ASSERT_EQ(plugin.keptParameters().size(), 1u);
    EXPECT_EQ(plugin.keptParameters()[0]->name(), "Dry Enabled");
}

TEST(LorimanePlugin, EveryParameterExplainsItselfInItsHelpText) {
    LorimanePlugin plugin;
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        const AbstractPluginParameter* p = plugin.getParameter(i);
        EXPECT_FALSE(p->helpText().empty()) << p->name();
        EXPECT_EQ(p->helpText().back(), '.') << p->name();
    }
}
