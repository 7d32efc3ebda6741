#include <gtest/gtest.h>

#include <cmath>

#include "ModulationRig.h"
#include "modulation/XLFO.h"
#include "modulation/XLFOFreqController.h"

namespace {

constexpr float kRate = 48000.0f;

struct SyncRig {
    wave::Environment env{128};
    XLFO xlfo{env};
    XLFOFreqController controller{env, xlfo};

    SyncRig() {
        env.setSampleRate(kRate);
        env.process(128, wave::OutputNotNeeded);  // leave the reset position, so that changes ramp
        xlfo.setFrequencyInput(&controller);
        xlfo.stepCount = 4;
        for (int k = 0; k < 4; ++k) xlfo.step(k).value = -1.0f + 0.5f * k;
    }
    // Plays the host transport from `start` quarter notes at `bpm` for `total` samples.
    std::vector<float> play(float bpm, double start, int total) {
        std::vector<float> out;
        runBlocks(env, xlfo, total, 128, out, [&](int done, int) {
            controller.transportChanged(bpm, static_cast<float>(start + done / kRate * bpm / 60.0));
        });
        return out;
    }
};

}  // namespace

TEST(XLFOFreqController, SyncedFrequencyFollowsTempoAndNoteLength) {
    using C = XLFOFreqController;
    struct Case {
        C::SyncMode mode;
        float bpm;
        float hz;
    };
    for (Case c : {Case{C::Bars1, 120.0f, 0.5f}, Case{C::Bars1, 0.0f, 0.5f}, Case{C::Bars1, NAN, 0.5f},
                   Case{C::Bars16, 120.0f, 0.5f / 16}, Case{C::Bar1_4, 90.0f, 1.5f},
                   Case{C::Bar1_64, 150.0f, 40.0f}}) {
        SyncRig rig;
        rig.controller.syncMode = c.mode;
        rig.controller.transportChanged(c.bpm, 0.0f);
        EXPECT_NEAR(rig.controller.tempoFrequency().value().target(), c.hz, 1e-5f) << c.mode << " " << c.bpm;
        auto out = runBlocks(rig.env, rig.controller, 48000);
        EXPECT_NEAR(out.back(), c.hz, 1e-5f);
        EXPECT_TRUE(rig.controller.isConstant());
    }
}

TEST(XLFOFreqController, FreeModePassesTheFrequencyTargetThrough) {
    SyncRig rig;
    ScriptedSource target(rig.env, [](long n) { return 1.0f + n * 1e-3f; });
    rig.controller.setFrequencyTarget(&target);
    rig.controller.transportChanged(120.0f, 8.0f);  // ignored while free
    EXPECT_EQ(rig.controller.tempoFrequency().value().target(), 0.0f);
    rig.env.advanceCycle();
    const float* f = nullptr;
    onAudioThread([&] { f = rig.controller.pull(64, 0); });
    EXPECT_EQ(f, target.samples());  // by pointer, no copy
    EXPECT_FLOAT_EQ(f[10], 1.01f);
}

TEST(XLFOFreqController, SongPositionLocksThePhase) {
    // One bar per cycle at 120 BPM (96000 samples), four steps, the host playing from quarter note 6
    // (half way through a bar).
    struct Case {
        float factor, balance, offset;
        float firstValue;
        std::vector<int> changes;
    };
    for (const Case& c : {
             // A step per quarter note: step 2 at first, step 3 from quarter 7.
             Case{1.0f, 0.5f, 0.0f, 0.0f, {24000, 48000, 72000}},
             // Twice the frequency: a cycle per half bar, and quarter 6 starts a cycle.
             Case{2.0f, 0.5f, 0.0f, -1.0f, {12000, 24000, 36000, 48000}},
             // Balance 0.25: steps 0 and 1 take 1/8 bar each, steps 2 and 3 3/8 each.
             Case{1.0f, 0.25f, 0.0f, 0.0f, {12000, 48000, 60000, 72000}},
             // Phase offset 0.25 on top: phase 0.75 is in step 3.
             Case{1.0f, 0.25f, 0.25f, 0.5f, {24000, 36000, 48000, 84000}},
         }) {
        SyncRig rig;
        rig.controller.syncMode = XLFOFreqController::Bars1;
        rig.controller.defaultOffsetFactor().value().jumpTo(c.factor);
        rig.xlfo.balance = c.balance;
        rig.xlfo.defaultPhaseOffset().value().jumpTo(c.offset);
        auto out = rig.play(120.0f, 6.0, c.changes.back() + 1000);
        EXPECT_FLOAT_EQ(out[1], c.firstValue);
        auto changes = changePositions(out, 1e-3f);
        if (c.offset != 0.0f) changes.erase(changes.begin());  // the offset arrives after sample 0
        ASSERT_EQ(changes.size(), c.changes.size()) << c.factor << " " << c.balance << " " << c.offset;
        for (size_t k = 0; k < changes.size(); ++k) EXPECT_NEAR(changes[k], c.changes[k], 128) << k;
    }
}

TEST(XLFOFreqController, SyncPhaseCountsFromTheLastRetrigger) {
    SyncRig rig;
    rig.controller.syncMode = XLFOFreqController::Bars1;
    rig.xlfo.midiTrigger = true;
    rig.play(120.0f, 0.0, 4800);
    onAudioThread([&] {
        rig.controller.transportChanged(120.0f, 6.0f);
        rig.env.advanceCycle();
        rig.xlfo.pull(1, 0);
    });
    EXPECT_NEAR(rig.xlfo.phase(), 0.5, 1e-3);
    onAudioThread([&] {
        rig.xlfo.noteOn();  // the cycle restarts here, at song position 6
        rig.controller.transportChanged(120.0f, 7.0f);
        rig.env.advanceCycle();
        rig.xlfo.pull(1, 0);
    });
    EXPECT_NEAR(rig.xlfo.accumulatedPhase(), 0.25, 1e-3);  // one quarter after the note
}
