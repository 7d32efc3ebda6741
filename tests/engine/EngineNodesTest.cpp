#include <gtest/gtest.h>

#include <cmath>

#include "AudioThreadGuard.h"
#include "engine/DelayPanController.h"
#include "engine/DelayTimeController.h"
#include "engine/Mixer.h"
#include "engine/Router.h"
#include "engine/StaticMixer.h"

namespace {

// A constant signal that counts how often it is computed.
class Constant : public wave::Source {
public:
    Constant(wave::Environment& env, float v) : wave::Source(env), value(v) {}
    void produce(SampleBuffer& out, int n, int flags) override {
        if (flags & wave::OutputNotNeeded) return;
        ++calls;
        for (int i = 0; i < n; ++i) out[i] = value;
        setOutputFlags(wave::ConstantBlock);
    }
    float value;
    int calls = 0;
};

// Runs cycles of n samples and answers the last sample of each.
std::vector<float> run(wave::Environment& env, wave::Producer& p, int cycles, int n = 32) {
    std::vector<float> last;
    last.reserve(cycles);
    AudioThreadGuard guard;
    for (int c = 0; c < cycles; ++c) {
        env.advanceCycle();
        last.push_back(p.pull(n, 0)[n - 1]);
        env.process(n, 0);
    }
    EXPECT_EQ(guard.allocations(), 0);
    return last;
}

}  // namespace

TEST(Mixer, SumSkipsSilentInputsAndPassesALoneUnityInputByPointer) {
    wave::Environment env(128);
    Constant a(env, 0.5f), b(env, 0.25f), zero(env, 0.0f);
    Mixer mixer(env, 3);
    mixer.setInput(0, &a);
    mixer.setInput(1, &b);
    mixer.setGain(1, &zero);
    env.advanceCycle();
    mixer.pull(16, 0);
    EXPECT_EQ(mixer.currentOutput(), a.currentOutput());  // b's gain is 0: a alone, by pointer
    EXPECT_EQ(b.calls, 0);

    mixer.setGain(1, nullptr);  // back to the own gain of 1
    mixer.setInput(2, &a);
    mixer.ownGain(2).value().jumpTo(0.5f);
    env.advanceCycle();
    EXPECT_FLOAT_EQ(mixer.pull(16, 0)[15], 0.5f + 0.25f + 0.25f);

    mixer.inputCount = 0;
    env.advanceCycle();
    mixer.pull(16, 0);
    EXPECT_EQ(mixer.currentOutput(), &env.zeroBuffer());
}

TEST(Mixer, PeakTakesTheLargestMagnitude) {
    wave::Environment env(128);
    Constant a(env, -0.7f), b(env, 0.4f);
    Mixer mixer(env, 2);
    mixer.combineType = Mixer::Peak;
    mixer.setInput(0, &a);
    mixer.setInput(1, &b);
    env.advanceCycle();
    EXPECT_FLOAT_EQ(mixer.pull(8, 0)[7], 0.7f);
    a.value = 0.1f;
    env.advanceCycle();
    EXPECT_FLOAT_EQ(mixer.pull(8, 0)[7], 0.4f);
}

TEST(Mixer, EveryCombinationOfThreeInputs) {
    // Inputs -0.8, -0.5 and -2; the second has a gain of 0.5, so it contributes -0.25. Peak and the
    // ratios start from the first input's magnitude, 0.8.
    struct Case {
        Mixer::CombineType type;
        float expected;
    };
    const Case cases[] = {
        {Mixer::Subtract, -0.8f + 0.25f + 2.0f},
        {Mixer::Peak, 2.0f},
        {Mixer::Ratio, 0.5f},  // 0.8 / 0.25 clamps to 1, then 1 / 2
        {Mixer::FlooredRatio, 0.8f / 0.25f / 2.0f},
        {Mixer::Maximum, -0.25f},
        {Mixer::Minimum, -2.0f},
    };
    for (const Case& c : cases) {
        wave::Environment env(128);
        Constant a(env, -0.8f), b(env, -0.5f), d(env, -2.0f);
        Mixer mixer(env, 3);
        mixer.combineType = c.type;
        mixer.setInput(0, &a);
        mixer.setInput(1, &b);
        mixer.setInput(2, &d);
        mixer.ownGain(1).value().jumpTo(0.5f);
        env.advanceCycle();
        AudioThreadGuard guard;
        const float* out = mixer.pull(16, 0);
        EXPECT_EQ(guard.allocations(), 0);
        for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(out[i], c.expected) << "type " << c.type << " sample " << i;
    }
}

TEST(StaticMixer, SumsWithFixedGainsAndPassesALoneUnityInput) {
    wave::Environment env(128);
    Constant a(env, 1.0f), b(env, 0.5f);
    StaticMixer mixer(env, 2);
    mixer.setInput(0, &a, 0.5f);
    mixer.setInput(1, &b, 0.5f);
    env.advanceCycle();
    EXPECT_FLOAT_EQ(mixer.pull(8, 0)[0], 0.75f);
    EXPECT_TRUE(mixer.isConstant());
    StaticMixer single(env, 2);
    single.setInput(1, &b, 1.0f);
    env.advanceCycle();
    single.pull(8, 0);
    EXPECT_EQ(single.currentOutput(), b.currentOutput());
}

TEST(Router, CrossFadesInTwentyMillisecondsAndIgnoresSilentInputs) {
    wave::Environment env(128);
    env.setSampleRate(48000.0f);
    Constant a(env, 1.0f), b(env, -1.0f);
    Router router(env, 2);
    router.setInput(0, &a);
    router.setInput(1, &b);
    env.process(32, 0);
    run(env, router, 1);
    EXPECT_EQ(router.currentOutput(), a.currentOutput());  // only the selected input, by pointer
    EXPECT_EQ(b.calls, 0);

    router.selected = 1;
    std::vector<float> out = run(env, router, 31);  // 960 samples = 20 ms
    EXPECT_NEAR(out[14], 0.0f, 0.05f);              // half-way
    EXPECT_GT(out[29], -1.0f);
    EXPECT_FLOAT_EQ(out[30], -1.0f);
    for (size_t i = 1; i < out.size(); ++i) EXPECT_LE(out[i], out[i - 1]);
    int calls = a.calls;
    run(env, router, 2);
    EXPECT_EQ(a.calls, calls);  // faded out: no longer pulled
}

TEST(DelayTimeController, SynchronisedTimesFollowTheTempoWithinTheLimits) {
    struct Case {
        int sync;
        double tempo;
        float offsetFactor, expectedMs;
    };
    for (Case c : {Case{DelayTimeController::Note, 120, 1.0f, 500}, Case{DelayTimeController::Note, 120, 2.0f, 1000},
                   Case{DelayTimeController::Note, 120, 0.5f, 250}, Case{DelayTimeController::TwoNotes, 20, 1.0f, 5000},
                   Case{DelayTimeController::QuarterNote, 120, 1.0f, 125}}) {
        wave::Environment env(128);
        Constant time(env, 300.0f), offset(env, c.offsetFactor);
        DelayTimeController controller(env, &time, &offset);
        controller.syncIndex = c.sync;
        env.reset();  // the first target is reached at once
        controller.retarget(c.tempo);
        EXPECT_FLOAT_EQ(run(env, controller, 1)[0], c.expectedMs) << c.sync << " " << c.tempo;
    }
}

TEST(DelayTimeController, TempoChangeRampsAndTempoZeroHolds) {
    wave::Environment env(128);
    env.setSampleRate(44100.0f);
    Constant time(env, 300.0f), offset(env, 1.0f);
    DelayTimeController controller(env, &time, &offset);
    controller.syncIndex = DelayTimeController::Note;
    env.reset();
    controller.retarget(120.0);
    run(env, controller, 1);
    controller.retarget(60.0);
    EXPECT_EQ(controller.syncTime().value().rampLength(), 3427);  // 77.72 ms
    controller.retarget(0.0);
    EXPECT_FLOAT_EQ(controller.syncTime().value().target(), 1000.0f);

    // Free: the time target's signal, by pointer.
    controller.syncIndex = DelayTimeController::Free;
    run(env, controller, 1);
    EXPECT_EQ(controller.currentOutput(), time.currentOutput());
}

TEST(DelayPanController, PanLaws) {
    struct Case {
        float pan, toFirst, toSecond;
    };
    for (Case c : {Case{-1.0f, 1.0f, 0.0f}, Case{0.0f, 1.0f, 1.0f}, Case{0.5f, 0.5f, 1.0f}, Case{1.0f, 0.0f, 1.0f}}) {
        wave::Environment env(128);
        Constant pan(env, c.pan);
        DelayPanController controller(env, &pan);
        env.advanceCycle();
        EXPECT_FLOAT_EQ(controller.output(0).pull(4, 0)[3], c.toFirst) << c.pan;
        EXPECT_FLOAT_EQ(controller.output(1).pull(4, 0)[3], c.toSecond) << c.pan;
        EXPECT_TRUE(controller.output(1).isConstant());
    }
}
