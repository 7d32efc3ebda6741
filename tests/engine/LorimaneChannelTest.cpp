#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "EngineRig.h"
#include "wave/FloatParameterSource.h"
#include "wave/SignalSmoother.h"

namespace {

// Positions of the samples whose magnitude exceeds the threshold.
std::vector<int> peaks(const std::vector<float>& s, float threshold = 1e-4f) {
    std::vector<int> positions;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (std::fabs(s[i]) > threshold) positions.push_back(int(i));
    return positions;
}

// The one position at which the signal is not silent, within one sample of the expected one (a
// typed time passes through the parameter's taper and may land a hair short of the sample).
void expectSingleEcho(const std::vector<float>& s, int expected) {
    std::vector<int> p = peaks(s);
    ASSERT_FALSE(p.empty()) << "no echo";
    EXPECT_LE(p.back() - p.front(), 1) << "more than one echo";
    EXPECT_LE(std::abs(p.front() - expected), 1) << p.front() << " instead of " << expected;
}

}  // namespace

TEST(LorimaneChannel, WithoutFeedbackEachDelayRepeatsItsInputOnce) {
    EngineRig rig;
    rig.isolateDelays();
    rig.set("Delay L Time", "100 ms");
    rig.set("Delay R Time", "30 ms");
    rig.settle();
    EngineRig::Stereo out = rig.process(rig.impulse(rig.samples(400), 1.0f, -0.5f));
    expectSingleEcho(out[0], rig.samples(100));
    expectSingleEcho(out[1], rig.samples(30));
    float left = 0.0f, right = 0.0f;
    for (float x : out[0]) left += x;
    for (float x : out[1]) right += x;
    EXPECT_NEAR(left, 1.0f, 1e-5f);
    EXPECT_NEAR(right, -0.5f, 1e-5f);
}

namespace {
// Counts the samples it has produced: a delay line fed by it answers its delay in its output.
class SampleCounter : public wave::Source {
public:
    using wave::Source::Source;
    void produce(SampleBuffer& out, int count, int) override {
        for (int i = 0; i < count; ++i) out[i] = float(produced_++);
        setOutputFlags(0);
    }
    long produced() const { return produced_; }

private:
    long produced_ = 0;
};
}  // namespace

TEST(LorimaneChannel, EveryWholeMillisecondDelayLandsOnItsSampleAndFractionsTruncate) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        EngineRig rig(rate);
        wave::Producer& time = *rig.plugin->channel(0).delayLine().delayTime();
        wave::Environment& engine = rig.plugin->environment();
        // The time as the engine hands it to its delay lines, typed as the user types it.
        auto engineTime = [&](const std::string& text) {
            rig.set("Delay L Time", text);
            rig.settle();
            engine.advanceCycle();
            return time.pull(4, 0)[0];
        };
        wave::Environment env(128);
        env.setSampleRate(rate);
        DelayLine line(env);
        line.smoothDelayChanges = false;
        SampleCounter counter(env);
        line.setInput(&counter);
        for (int done = 0; done < DelayLine::kMaxDelaySamples / 2 + 128; done += 128) {
            env.advanceCycle();
            env.process(128, 0);
        }
        auto delayFor = [&](float ms) {
            line.delayTimeSource().value().jumpTo(ms);
            env.advanceCycle();
            long before = counter.produced();
            float read = line.pull(4, 0)[0];
            env.process(4, 0);
            return before - long(read);
        };
        std::vector<std::string> wrong;
        for (long ms = 5; ms <= 5000; ++ms) {
            long got = delayFor(engineTime(std::to_string(ms) + " ms"));
            long expected = ms * long(rate) / 1000;
            if (got != expected && wrong.size() < 5)
                wrong.push_back(std::to_string(ms) + " ms: " + std::to_string(got) + " for " + std::to_string(expected));
        }
        EXPECT_TRUE(wrong.empty()) << rate << " Hz: " << ::testing::PrintToString(wrong);
        // Times between whole samples are truncated as before.
        for (float ms : {5.3f, 10.75f, 400.3f, 2999.61f}) {
            long expected = long(double(ms) * rate / 1000.0);
            EXPECT_EQ(delayFor(ms), expected) << ms << " ms at " << rate << " Hz";
        }
    }
}

TEST(LorimaneChannel, FreezeRepeatsWhatTheLineHoldsWithoutDecayAndTakesNoInput) {
    EngineRig rig;
    rig.isolateDelays();
    rig.set("Delay L Time", "100 ms");
    rig.settle();
    int period = rig.samples(100);
    EngineRig::Stereo in = rig.impulse(period / 2);
    rig.process(in);
    rig.set("Delay Freeze", "On");
    // A second impulse after the 20 ms switch-over must never be heard.
    EngineRig::Stereo later = rig.silence(std::size_t(period * 10));
    later[0][std::size_t(rig.samples(30))] = 0.7f;
    EngineRig::Stereo out = rig.process(later);
    for (int k = 1; k <= 10; ++k) {
        std::size_t echo = std::size_t(k * period - period / 2);
        EXPECT_NEAR(out[0][echo], 1.0f, 1e-5f) << "repeat " << k;
    }
    EXPECT_EQ(peaks(out[0]).size(), 10u);  // the repeats, and nothing of the later impulse
}

TEST(LorimaneChannel, MidSideWithAMonoInputLeavesTheSideLineWithoutInput) {
    EngineRig rig;
    rig.isolateDelays();
    rig.set("Channel Mode", "Mid/Side");
    rig.settle();  // the delay parameters take their Mid/Side names
    rig.set("Delay M Time", "100 ms");
    rig.set("Delay S Time", "40 ms");
    rig.settle();
    EngineRig::Stereo out = rig.process(rig.impulse(rig.samples(200), 0.8f, 0.8f));
    // Mid is (l + r) / 2; with no side the decoded pair is mid in both channels.
    EXPECT_EQ(out[0], out[1]);
    expectSingleEcho(out[0], rig.samples(100));
    std::vector<float> side(rig.plugin->channel(1).delayLine().samples(),
                            rig.plugin->channel(1).delayLine().samples() + 128);
    EXPECT_EQ(peaks(side).size(), 0u);
}

TEST(LorimaneChannel, AuditionInputIsTheInputSampleForSampleAfterTheFade) {
    EngineRig rig;
    rig.set("Delay L Feedback", "0.7");
    rig.set("Input Level", "6");
    rig.settle();
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    // Longer than the delay, so the output carries echoes (differs from the input) when the switch comes.
    EngineRig::Stereo in = rig.silence(std::size_t(rig.samples(500)));
    for (auto& channel : in)
        for (float& x : channel) x = noise(random);
    rig.process(in);
    rig.set("Audition Signal", "Input");
    EngineRig::Stereo out = rig.process(in);
    std::size_t fade = std::size_t(rig.samples(20)) + 128;
    for (int c = 0; c < 2; ++c) {
        EXPECT_NE(out[c][0], in[c][0]);
        EXPECT_TRUE(std::equal(out[c].begin() + long(fade), out[c].end(), in[c].begin() + long(fade))) << c;
    }
}

TEST(LorimaneChannel, FeedbackLevelControlPullsALoudFilterDownByAtMostTwentyDecibels) {
    EngineRig rig;
    LorimaneChannel& channel = rig.plugin->channel(0);
    wave::Environment& env = rig.plugin->environment();
    // The channel compares the filter section's level with the delay line's.
    EXPECT_NE(channel.gainAdjuster().levelSource(), nullptr);
    EXPECT_NE(channel.gainAdjuster().referenceSource(), nullptr);
    struct Case {
        float filterLevel, delayLevel, factor;
    };
    FloatParameterSource one(env, 1.0f), level(env, 0.0f), reference(env, 0.0f);
    level.setRange(0.0f, 1000.0f);
    reference.setRange(0.0f, 1000.0f);
    channel.gainAdjuster().setInput(&one);
    channel.gainAdjuster().setLevelSource(&level);
    channel.gainAdjuster().setReferenceSource(&reference);
    for (Case c : {Case{10.0f, 1.0f, 0.1f}, Case{100.0f, 1.0f, 0.1f}, Case{0.5f, 1.0f, 1.0f},
                   Case{2.0f, 1.0f, 0.5f}, Case{0.0f, 1.0f, 1.0f}}) {
        level.value().jumpTo(c.filterLevel);
        reference.value().jumpTo(c.delayLevel);
        env.advanceCycle();
        EXPECT_NEAR(channel.gainAdjuster().pull(32, 0)[31], c.factor, 1e-6f) << c.filterLevel;
    }
}

TEST(LorimaneChannel, FeedbackLevelSmoothersAreResetWithTheGraphAndFollowTheSampleRate) {
    EngineRig rig(44100.0f);
    rig.plugin->setSampleRate(88200.0f);
    wave::Environment at88k(rig.plugin->environment().maxBlockLength());
    at88k.setSampleRate(88200.0f);
    const float expected = SignalSmoother(at88k).coefficient();
    for (int c = 0; c < 2; ++c) {
        GainAdjuster& adjuster = rig.plugin->channel(c).gainAdjuster();
        for (wave::Producer* source : {adjuster.levelSource(), adjuster.referenceSource()}) {
            auto* smoother = dynamic_cast<SignalSmoother*>(source);
            ASSERT_NE(smoother, nullptr);
            // Only producers in the reset list lose their state on resets, bypass and rate changes.
            EXPECT_TRUE(smoother->inResetList()) << "channel " << c;
            EXPECT_FLOAT_EQ(smoother->coefficient(), expected) << "channel " << c;
        }
    }
}

TEST(LorimaneChannel, InvertingOneDelaysFeedbackFlipsOnlyWhatPassesThroughIt) {
    auto render = [](bool invert) {
        EngineRig rig;
        rig.isolateDelays();
        rig.set("Delay L Time", "100 ms");
        rig.set("Delay R Time", "130 ms");
        for (const char* d : {"Delay L", "Delay R"}) {
            rig.set(std::string(d) + " Feedback", "0.6");
            rig.set(std::string(d) + " Cross Feedback", "0.6");
        }
        if (invert) rig.set("Delay L Feedback Invert", "Inverted");
        rig.settle();
        return rig.process(rig.impulse(std::size_t(rig.samples(300))));
    };
    EngineRig::Stereo normal = render(false), inverted = render(true);
    EngineRig rig;
    struct Case {
        int channel;
        double ms;
        float sign;
    };
    // Channel 0 repeats its own feedback (flipped) and channel 1's cross-feedback (kept); channel 1
    // repeats its own feedback (kept) and channel 0's cross-feedback (flipped).
    for (Case c : {Case{0, 100, 1}, Case{0, 200, -1}, Case{0, 230, 1}, Case{1, 130, 1}, Case{1, 260, 1},
                   Case{1, 230, -1}}) {
        std::size_t at = std::size_t(rig.samples(c.ms));
        float n = normal[std::size_t(c.channel)][at];
        EXPECT_GT(std::fabs(n), 0.01f) << c.channel << " " << c.ms;
        EXPECT_NEAR(inverted[std::size_t(c.channel)][at], c.sign * n, 1e-5f) << c.channel << " " << c.ms;
    }
}

TEST(LorimaneChannel, FeedbackAboveUnityIsHeldAtUnitySoRepeatsNeverGrow) {
    EngineRig rig;
    rig.isolateDelays();
    rig.set("Delay L Time", "20 ms");
    rig.parameter("Delay L Feedback").setValue(1.0f, 0);
    EXPECT_FLOAT_EQ(rig.plugin->delays.set(0).feedback.engineValue(1.0f), 2.0f);
    rig.settle();
    int period = rig.samples(20);
    EngineRig::Stereo out = rig.process(rig.impulse(std::size_t(period * 30 + 1)));
    for (int k = 1; k <= 30; ++k) EXPECT_NEAR(out[0][std::size_t(k * period)], 1.0f, 1e-4f) << "repeat " << k;
}

// The plain filter has no saturation stage; in a feedback loop its resonance used to add a little
// gain on every round, and the output grew without end (hundreds after seconds, then infinity).
TEST(LorimaneChannel, CleanResonanceInTheFeedbackLoopStaysBounded) {
    EngineRig rig;
    for (const char* filter : {"Filter 1", "Filter 2"}) {
        rig.set(std::string(filter) + " Characteristic", "Clean");
        rig.set(std::string(filter) + " Peak", "0.7");
    }
    rig.set("Delay L Feedback", "0.9");
    rig.set("Delay R Feedback", "0.9");
    rig.settle();
    rig.process(rig.noise(std::size_t(rig.samples(500)), 0.9f, 3));
    EngineRig::Stereo out = rig.process(rig.silence(std::size_t(rig.samples(11500))));
    float largest = 0.0f;
    for (const auto& channel : out)
        for (std::size_t i = channel.size() - std::size_t(rig.samples(1000)); i < channel.size(); ++i) {
            ASSERT_TRUE(std::isfinite(channel[i]));
            largest = std::max(largest, std::fabs(channel[i]));
        }
    EXPECT_LT(largest, 25.0f);
}

TEST(LorimaneChannel, CrossFeedbackBringsTheOtherDelaysOutputIntoThisLineAsItsHelpSays) {
    EngineRig rig;
    rig.isolateDelays();
    rig.set("Delay L Time", "20 ms");
    rig.set("Delay R Time", "30 ms");
    rig.parameter("Delay L Cross Feedback").setValue(1.0f, 0);
    rig.settle();
    // Only the right input: its echo comes back through the left line 20 ms later.
    EngineRig::Stereo out = rig.process(rig.impulse(std::size_t(rig.samples(60)), 0.0f, 1.0f));
    expectSingleEcho(out[1], rig.samples(30));
    expectSingleEcho(out[0], rig.samples(50));
    const std::string& help = rig.parameter("Delay L Cross Feedback").helpText();
    EXPECT_NE(help.find("of the other delay's"), std::string::npos) << help;
    EXPECT_NE(help.find("into this delay line"), std::string::npos) << help;
}

TEST(LorimaneChannel, LinkedDelayTimesFollowTheFirstDelay) {
    auto render = [](const char* secondTime) {
        EngineRig rig;
        rig.isolateDelays();
        rig.set("Delay Link", "Linked");
        rig.set("Delay L Time", "50 ms");
        rig.set("Delay R Time", secondTime);
        rig.settle();
        return rig.process(rig.impulse(std::size_t(rig.samples(300))));
    };
    EngineRig::Stereo a = render("120 ms"), b = render("250 ms");
    EngineRig rig;
    expectSingleEcho(a[1], rig.samples(50));
    EXPECT_EQ(a, b);
}

TEST(LorimaneChannel, PerChannelRoutingLeavesTheOtherFilterIdle) {
    EngineRig rig;
    rig.set("Filter Routing", "Per Channel");
    rig.set("Filter 1 Freq", "1000 Hz");
    rig.set("Filter 2 Freq", "1000 Hz");
    rig.settle();
    EngineRig::Stereo in = rig.impulse(std::size_t(rig.samples(50)));
    rig.process(in);
    for (int c = 0; c < 2; ++c) {
        for (LorimaneChannel::FilterCombo* combo :
             {&rig.plugin->channel(c).feedbackCombo(), &rig.plugin->channel(c).outputCombo()}) {
            MultiDesignFilter& used = combo->filter(c);
            MultiDesignFilter& unused = combo->filter(1 - c);
            EXPECT_EQ(combo->output(), &used);
            EXPECT_EQ(unused.input(), nullptr);
            EXPECT_TRUE(used.lastLane().active);
            EXPECT_FALSE(unused.lastLane().active) << "channel " << c;
        }
    }
    rig.set("Filter Routing", "Serial");
    rig.process(in);
    LorimaneChannel::FilterCombo& combo = rig.plugin->channel(1).feedbackCombo();
    EXPECT_EQ(combo.filter(1).input(), &combo.filter(0));
    EXPECT_TRUE(combo.filter(0).lastLane().active);
}

TEST(LorimaneChannel, MidSideEncodingAndDecodingGiveBackTheDryPair) {
    EngineRig rig;
    rig.set("Channel Mode", "Mid/Side");
    rig.set("Wet Level", "0%");
    rig.set("Dry Pan", "0");
    rig.settle();
    std::mt19937 random(11);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    EngineRig::Stereo in = rig.silence(1000);
    for (auto& channel : in)
        for (float& x : channel) x = noise(random);
    EngineRig::Stereo out = rig.process(in);
    for (int c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < in[0].size(); ++i)
            ASSERT_NEAR(out[c][i], in[c][i], 1e-6f) << c << " " << i;
}

TEST(LorimaneChannel, ParallelRoutingFeedsBothFiltersAndAveragesThem) {
    EngineRig rig;
    rig.set("Filter Routing", "Parallel");
    rig.settle();
    rig.process(rig.impulse(256));
    for (int c = 0; c < 2; ++c) {
        LorimaneChannel::FilterCombo& combo = rig.plugin->channel(c).outputCombo();
        EXPECT_EQ(combo.output(), &combo.parallelSum());
        EXPECT_EQ(combo.filter(0).input(), combo.input());
        EXPECT_EQ(combo.filter(1).input(), combo.input());
    }
}

TEST(LorimaneChannel, LinkedFeedbackGivesTheSecondDelayTheFirstOnesGains) {
    EngineRig rig;
    rig.isolateDelays();
    rig.set("Feedback Link", "Linked");
    rig.set("Delay L Time", "40 ms");
    rig.set("Delay R Time", "40 ms");
    rig.set("Delay L Feedback", "0.5");
    rig.set("Delay R Feedback", "0.9");
    rig.settle();
    int period = rig.samples(40);
    EngineRig::Stereo out = rig.process(rig.impulse(std::size_t(4 * period + 2)));
    for (int k = 1; k <= 4; ++k) {
        std::size_t at = std::size_t(k * period);
        auto echo = [&](int c) {
            const std::vector<float>& s = out[std::size_t(c)];
            return std::fabs(s[at]) > std::fabs(s[at - 1]) ? s[at] : s[at - 1];
        };
        EXPECT_NEAR(echo(1), echo(0), 1e-6f) << "repeat " << k;
    }
}
