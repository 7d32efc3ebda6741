#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ModulationRig.h"
#include "modulation/MidiModSource.h"

namespace {

constexpr float kRate = 48000.0f;

struct MidiRig {
    wave::Environment env{128};
    MidiModSource::Cache cache;
    MidiModSource source{env, cache};

    MidiRig() {
        env.setSampleRate(kRate);
        env.process(128, wave::OutputNotNeeded);  // leave the reset position, so that changes ramp
        cache.noteOn(48, 0.5f);                   // the plug-in's start-up centre values
    }
    // The value the output settles at.
    float settled() {
        auto out = runBlocks(env, source, 9600);
        return out.back();
    }
};

}  // namespace

TEST(MidiModSource, ResponseCurvesShapeTheModulationWheel) {
    using C = MidiModSource;
    struct Case {
        MidiModSource::ResponseCurve curve;
        float at05, atMinus1;
    };
    for (Case c :
         {Case{C::Linear, 0.5f, -1.0f}, Case{C::Exp, 0.125893f, -1.0f}, Case{C::Log, 0.747222f, -1.0f},
          Case{C::Sqr, 0.25f, -1.0f}, Case{C::Sqrt, 0.707107f, -1.0f}, Case{C::Sine, 0.5f, -1.0f}}) {
        MidiRig rig;
        rig.source.responseCurve = c.curve;
        rig.cache.modulationWheel(0.5f);
        EXPECT_NEAR(rig.settled(), c.at05, 1e-5f) << "curve " << c.curve;
        // Pitch bend fully down gives -1 whatever the curve; the centre gives 0.
        rig.source.midiInput = MidiModSource::PitchBend;
        rig.cache.pitchBend(-0.5f);
        EXPECT_NEAR(rig.settled(), c.atMinus1, 1e-5f);
        rig.cache.pitchBend(0.0f);
        EXPECT_NEAR(rig.settled(), 0.0f, 1e-6f);
    }
    // Odd symmetry and continuity of the exponential curve at its knee.
    auto exp = MidiModSource::curveFunction(MidiModSource::Exp);
    EXPECT_FLOAT_EQ(exp(-0.3f), -exp(0.3f));
    EXPECT_NEAR(exp(0.1f + 1e-6f), exp(0.1f), 1e-5f);
}

TEST(MidiModSource, InputsMapToTheirCentresAndEnds) {
    struct Case {
        MidiModSource::MidiInput input;
        void (*send)(MidiModSource::Cache&);
        float expected;
        float display;
    };
    using Cache = MidiModSource::Cache;
    for (Case c : {Case{MidiModSource::Velocity, [](Cache& k) { k.noteOn(60, 1.0f); }, 1.0f, 1.0f},
                   Case{MidiModSource::Velocity, [](Cache& k) { k.noteOn(60, 0.0f); }, -1.0f, 0.0f},
                   Case{MidiModSource::KbTrack, [](Cache& k) { k.noteOn(60, 0.7f); }, 0.1f, 59.0f / 119.0f},
                   Case{MidiModSource::KbTrack, [](Cache& k) { k.noteOn(48, 0.7f); }, 0.0f, 47.0f / 119.0f},
                   Case{MidiModSource::KbTrack, [](Cache& k) { k.noteOn(120, 0.7f); }, 0.6f, 1.0f},
                   Case{MidiModSource::Aftertouch, [](Cache& k) { k.polyPressure(60, 0.25f); }, 0.25f, 0.25f},
                   Case{MidiModSource::Aftertouch, [](Cache& k) { k.channelPressure(0.75f); }, 0.75f, 0.75f},
                   Case{MidiModSource::PitchBend, [](Cache& k) { k.pitchBend(0.25f); }, 0.5f, 0.75f}}) {
        MidiRig rig;
        rig.source.midiInput = c.input;
        {
            AudioThreadGuard guard;
            c.send(rig.cache);
            EXPECT_EQ(guard.allocations(), 0);
        }
        EXPECT_NEAR(rig.settled(), c.expected, 1e-5f) << "input " << c.input;
        EXPECT_NEAR(rig.source.displayValue(), c.display, 1e-5f);
    }
}

TEST(MidiModSource, ControllerSourceHearsOnlyItsOwnNumber) {
    MidiRig rig;
    rig.source.midiInput = MidiModSource::Controller;
    rig.source.controllerNumber = 7;
    rig.cache.controller(1, 1.0f);
    rig.cache.modulationWheel(1.0f);
    rig.cache.controller(8, 1.0f);
    EXPECT_EQ(rig.settled(), 0.0f);
    rig.cache.controller(7, 0.6f);
    EXPECT_NEAR(rig.settled(), 0.6f, 1e-6f);
    // Numbers and values from outside the MIDI ranges never reach a table or another entry.
    rig.cache.controller(128 + 7, 0.1f);
    rig.cache.controller(-1, 0.1f);
    rig.cache.noteOn(200, 1.0f);
    rig.cache.polyPressure(-5, 1.0f);
    rig.cache.controller(7, 3.0f);
    EXPECT_NEAR(rig.settled(), 1.0f, 1e-6f);
    rig.source.controllerNumber = 500;
    EXPECT_EQ(rig.source.controllerNumber.get(), 127);
}

TEST(MidiModSource, ChangingTheInputRereadsTheCacheAtOnce) {
    MidiRig rig;
    rig.cache.channelPressure(0.8f);
    rig.cache.modulationWheel(0.2f);
    EXPECT_NEAR(rig.settled(), 0.2f, 1e-6f);
    onAudioThread([&] { rig.source.midiInput = MidiModSource::Aftertouch; });
    EXPECT_NEAR(rig.source.output().target(), 0.8f, 1e-6f);
    EXPECT_NEAR(rig.settled(), 0.8f, 1e-6f);
    // A new curve applies from the next change of the entry.
    rig.source.responseCurve = MidiModSource::Sqr;
    EXPECT_NEAR(rig.source.output().target(), 0.8f, 1e-6f);
    rig.cache.channelPressure(0.5f);
    EXPECT_NEAR(rig.settled(), 0.25f, 1e-6f);
}

TEST(MidiModSource, ChangesRampSmoothlyAndSettleToAConstantBlock) {
    struct Case {
        float from, to;
        int expectedSamples;  // 20 ms for a jump of 30 % of the 0.5 span or more, up to 150 ms
    };
    for (Case c : {Case{0.0f, 1.0f, 960}, Case{0.0f, 0.15f, 960}, Case{0.5f, 0.51f, 6396}}) {
        MidiRig rig;
        rig.cache.modulationWheel(c.from);
        rig.settled();
        std::vector<float> out;
        runBlocks(rig.env, rig.source, 9600, 32, out, [&](int done, int) {
            if (done == 0) rig.cache.modulationWheel(c.to);
        });
        int reached = -1;
        for (size_t i = 0; i < out.size(); ++i) {
            if (i > 0) {
                ASSERT_GE((out[i] - out[i - 1]) * (c.to - c.from), -1e-7f) << "not monotonic at " << i;
            }
            if (reached < 0 && std::abs(out[i] - c.to) < 1e-6f) reached = static_cast<int>(i);
        }
        EXPECT_NEAR(reached, c.expectedSamples, 64) << c.from << " -> " << c.to;
        EXPECT_TRUE(rig.source.isConstant());
    }
}

TEST(MidiModSource, CacheFeedsEverySourceAndOutlivesThem) {
    wave::Environment env(128);
    env.setSampleRate(kRate);
    MidiModSource::Cache cache;
    MidiModSource wheel(env, cache);
    auto bend = std::make_unique<MidiModSource>(env, cache);
    bend->midiInput = MidiModSource::PitchBend;
    onAudioThread([&] {
        cache.modulationWheel(0.3f);
        cache.pitchBend(0.5f);
    });
    EXPECT_NEAR(wheel.output().target(), 0.3f, 1e-6f);
    EXPECT_NEAR(bend->output().target(), 1.0f, 1e-6f);
    // A source created later picks up the remembered value as soon as it selects its input.
    MidiModSource late(env, cache);
    late.midiInput = MidiModSource::PitchBend;
    EXPECT_NEAR(late.output().target(), 1.0f, 1e-6f);
    // A destroyed source leaves the cache, which goes on serving the others.
    bend.reset();
    onAudioThread([&] { cache.pitchBend(-0.25f); });
    EXPECT_NEAR(late.output().target(), -0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(cache.value(MidiModSource::Cache::kPitchBend), -0.25f);
}
