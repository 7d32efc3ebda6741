#include <gtest/gtest.h>

#include <vector>

#include "AudioThreadGuard.h"
#include "wave/Environment.h"
#include "wave/FloatParameterSource.h"
#include "wave/Input.h"
#include "wave/MultiProducer.h"
#include "wave/VolumeFilter.h"

namespace {

// A source that writes a constant and records every call it gets.
class ProbeSource : public wave::Source {
public:
    ProbeSource(wave::Environment& env, float value, std::vector<std::pair<const ProbeSource*, int>>* log = nullptr)
        : wave::Source(env), value_(value), log_(log) {}
    void produce(SampleBuffer& out, int count, int flags) override {
        ++calls;
        lastFlags = flags;
        if (log_) log_->emplace_back(this, flags);
        if (flags & wave::OutputNotNeeded) return;
        for (int i = 0; i < count; ++i) out[i] = value_;
    }
    void reset() override { ++resets; }
    int calls = 0;
    int lastFlags = -1;
    int resets = 0;

private:
    float value_;
    std::vector<std::pair<const ProbeSource*, int>>* log_;
};

class Sum : public wave::Filter {
public:
    Sum(wave::Environment& env, wave::Producer& a, wave::Producer& b) : wave::Filter(env), other_(b) { setInput(&a); }
    void filter(const float* in, SampleBuffer& out, int count, int flags) override {
        const float* b = other_.pull(count, flags);
        for (int i = 0; i < count; ++i) out[i] = in[i] + b[i];
    }

private:
    wave::Producer& other_;
};

class AlwaysMuted : public wave::MuteController {
public:
    bool isMuted(SampleBuffer&, int, int) override { return true; }
};

class Swapper : public wave::MultiProducer {
public:
    Swapper(wave::Environment& env, wave::Producer& a, wave::Producer& b) : wave::MultiProducer(env), a_(a), b_(b) {}
    void produceOutputs(std::array<SampleBuffer*, kOutputCount>& buffers, int count, int flags) override {
        ++calls;
        const float* a = a_.pull(count, flags);
        const float* b = b_.pull(count, flags);
        for (int i = 0; i < count; ++i) {
            (*buffers[0])[i] = b[i];
            (*buffers[1])[i] = a[i];
        }
    }
    int calls = 0;

private:
    wave::Producer& a_;
    wave::Producer& b_;
};

}  // namespace

TEST(Graph, ProducerWithTwoConsumersComputesOncePerCycle) {
    wave::Environment env(128);
    ProbeSource shared(env, 0.25f);
    Sum sum(env, shared, shared);
    Swapper swap(env, shared, sum);
    AudioThreadGuard guard;
    for (int cycle = 1; cycle <= 3; ++cycle) {
        env.advanceCycle();
        const float* a = swap.output(0).pull(64, 0);
        const float* b = swap.output(1).pull(64, 0);
        EXPECT_FLOAT_EQ(a[63], 0.5f);
        EXPECT_FLOAT_EQ(b[0], 0.25f);
        env.process(64, 0);
        EXPECT_EQ(shared.calls, cycle);
        EXPECT_EQ(swap.calls, cycle);
    }
    EXPECT_EQ(guard.allocations(), 0);
}

TEST(Graph, ClosingPassOrderAndFlags) {
    wave::Environment env(128);
    std::vector<std::pair<const ProbeSource*, int>> log;
    ProbeSource back(env, 0, &log), lfoPulled(env, 0, &log), lfoIdle(env, 0, &log), delayA(env, 0, &log),
        delayB(env, 0, &log);
    back.addToClosingPass(wave::Producer::Back);
    lfoPulled.addToClosingPass(wave::Producer::AfterFront);
    lfoIdle.addToClosingPass(wave::Producer::AfterFront);
    delayA.addToClosingPass(wave::Producer::Front);
    delayB.addToClosingPass(wave::Producer::Front);  // the front group grows at the very front
    EXPECT_EQ(env.frontGroupCount(), 2);

    env.advanceCycle();
    delayA.pull(32, 0);
    lfoPulled.pull(32, 0);
    log.clear();
    env.process(32, 0);

    std::vector<std::pair<const ProbeSource*, int>> expected = {
        {&delayB, wave::ClosingPass}, {&delayA, wave::ClosingPass},  // front group: always, with flags 2
        {&lfoIdle, wave::OutputNotNeeded},                           // not pulled: kept running
        {&back, wave::OutputNotNeeded}};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(env.runningPosition(), 32);

    // Moving a producer to another position takes it out of its old place first.
    delayB.addToClosingPass(wave::Producer::Back);
    EXPECT_EQ(env.frontGroupCount(), 1);
    EXPECT_EQ(env.closingPass().back(), &delayB);
    EXPECT_EQ(env.closingPass().size(), 5u);

    // A skipped cycle runs nothing but still advances the position.
    log.clear();
    env.advanceCycle();
    env.process(32, wave::OutputNotNeeded);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(env.runningPosition(), 64);
}

TEST(Graph, DisablingRemovesAndEnablingRestoresAndResets) {
    wave::Environment env(128);
    ProbeSource front(env, 0), lfo(env, 0), other(env, 0);
    front.addToClosingPass(wave::Producer::Front);
    other.addToClosingPass(wave::Producer::AfterFront);
    lfo.addToClosingPass(wave::Producer::AfterFront);
    lfo.addToResetList();
    lfo.setEnabled(false);
    EXPECT_EQ(env.closingPass().size(), 2u);
    EXPECT_TRUE(env.resetList().empty());
    env.reset();
    EXPECT_EQ(lfo.resets, 0);

    AudioThreadGuard guard;
    lfo.setEnabled(true);
    EXPECT_EQ(guard.allocations(), 0);  // the lists already have room for every producer
    EXPECT_EQ(lfo.resets, 1);
    ASSERT_EQ(env.closingPass().size(), 3u);
    EXPECT_EQ(env.closingPass()[0], &front);
    EXPECT_EQ(env.closingPass()[1], &lfo);  // back directly after the front group
    EXPECT_EQ(env.resetList().size(), 1u);
}

TEST(Graph, SampleRateChangeResetsAndNotifiesOnlyWhenItChanges) {
    wave::Environment env(128);
    ProbeSource p(env, 0);
    p.addToResetList();
    struct Counter {
        std::vector<int> order;
        void owner(void*) { order.push_back(0); }
        void first(void*) { order.push_back(1); }
        void second(void*) { order.push_back(2); }
    } counter;
    env.sampleRateChanged().setOwnerHandler(&counter, &Counter::owner);
    env.sampleRateChanged().addHandler(&counter, &Counter::first);
    env.sampleRateChanged().addHandler(&counter, &Counter::second);

    env.setSampleRate(44100.0f + 1e-8f);
    EXPECT_EQ(p.resets, 0);
    EXPECT_TRUE(counter.order.empty());
    env.setSampleRate(48000.0f);
    EXPECT_EQ(p.resets, 1);
    EXPECT_EQ(counter.order, (std::vector<int>{0, 2, 1}));
    EXPECT_FLOAT_EQ(env.sampleRate(), 48000.0f);
}

TEST(Graph, InputDeliversConsecutiveSubBlocks) {
    wave::Environment env(128);
    wave::Input in(env);
    std::vector<float> host(32);
    for (int i = 0; i < 32; ++i) host[i] = static_cast<float>(i);
    in.setSource(host.data(), 32);
    env.advanceCycle();
    const float* a = in.pull(10, 0);
    EXPECT_EQ(a[0], 0.0f);
    EXPECT_EQ(a[9], 9.0f);
    env.advanceCycle();
    const float* b = in.pull(22, 0);
    EXPECT_EQ(b[0], 10.0f);
    EXPECT_EQ(b[21], 31.0f);
    EXPECT_EQ(in.remaining(), 0);
    // Past the host buffer, or without one, the input is silent.
    env.advanceCycle();
    EXPECT_EQ(in.pull(8, 0)[0], 0.0f);
    wave::Input unconnected(env);
    EXPECT_EQ(unconnected.pull(8, 0)[7], 0.0f);
}

TEST(Graph, VolumeFilterZeroGainSkipsItsInput) {
    struct Case {
        float gain;
        bool computes;
    };
    for (Case c : {Case{0.0f, false}, Case{1e-6f, true}, Case{0.5f, true}}) {
        wave::Environment env(128);
        ProbeSource input(env, 2.0f);
        VolumeFilter volume(env);
        volume.setInput(&input);
        volume.gainSource().value().jumpTo(c.gain);
        AudioThreadGuard guard;
        env.advanceCycle();
        const float* out = volume.pull(16, 0);
        EXPECT_EQ(guard.allocations(), 0);
        EXPECT_EQ(input.calls, c.computes ? 1 : 0) << c.gain;
        EXPECT_FLOAT_EQ(out[15], 2.0f * c.gain) << c.gain;
        if (!c.computes) {
            EXPECT_EQ(volume.currentOutput(), &env.zeroBuffer());
        }
    }
}

TEST(Graph, VolumeFilterMutedDoesNotComputeItsInputChain) {
    wave::Environment env(128);
    ProbeSource input(env, 1.0f), modulation(env, 0.5f);
    VolumeFilter volume(env);
    volume.setInput(&input);
    volume.setModulation(&modulation);
    env.advanceCycle();
    EXPECT_FLOAT_EQ(volume.pull(8, 0)[0], 0.5f);  // input × gain 1 × modulation

    AlwaysMuted mute;
    volume.setMuteController(&mute);
    env.advanceCycle();
    const float* out = volume.pull(8, 0);
    EXPECT_EQ(input.calls, 1);
    EXPECT_EQ(modulation.calls, 1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], 0.0f);
}
