#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "AudioThreadGuard.h"
#include "TestSignalSource.h"
#include "wave/DelayLine.h"
#include "wave/Environment.h"

namespace {

constexpr int kBlock = 128;

// A delay line fed by a signal, driven cycle by cycle as the plug-in frame drives its graph.
struct Rig {
    wave::Environment env;
    TestSignalSource input;
    DelayLine delay;
    long blockCopies = 0;
    long sampleReads = 0;

    Rig(float rate, std::function<float(long)> signal, int block = kBlock)
        : env(block), input(env, std::move(signal)), delay(env) {
        env.setSampleRate(rate);
        delay.setInput(&input);
    }

    // Runs n samples in sub-blocks cycling through the given lengths; answers the delay output.
    std::vector<float> run(long n, std::vector<int> blocks = {kBlock}) {
        std::vector<float> out(n, -1.0f);
        long allocations = 0;
        long locks = 0;
        {
            AudioThreadGuard guard;
            size_t b = 0;
            for (long done = 0; done < n;) {
                int k = static_cast<int>(std::min<long>(blocks[b], n - done));
                b = (b + 1) % blocks.size();
                env.advanceCycle();
                const float* y = delay.pull(k, 0);
                std::copy(y, y + k, out.begin() + done);
                if (delay.lastReadPath() == DelayLine::ReadPath::BlockCopy)
                    ++blockCopies;
                else
                    ++sampleReads;
                env.process(k, 0);
                done += k;
            }
            allocations = guard.allocations();
            locks = guard.locks();
        }
        EXPECT_EQ(allocations, 0);
        if (AudioThreadGuard::countsLocks()) {
            EXPECT_EQ(locks, 0);
        }
        return out;
    }
};

float ramp(long n) {
    return static_cast<float>(n + 1);
}

// Zero crossings (sign changes) in out[from, from + length).
int zeroCrossings(const std::vector<float>& out, long from, long length) {
    int crossings = 0;
    for (long i = from + 1; i < from + length; ++i)
        if ((out[i - 1] < 0.0f) != (out[i] < 0.0f)) ++crossings;
    return crossings;
}

struct ConstantCase {
    const char* name;
    float rate;
    int unit;
    float time;
    bool glide;
    DelayLine::ReadType type;
    int writeMode;
    long expected;  // samples
    // Sub-block lengths, cycled; deferred writes need blocks no longer than the delay.
    std::vector<int> blocks;
};

}  // namespace

// A constant delay is served by block copies at an exact integer delay, across odd sub-block lengths
// and past the wrap of the ring; nothing is heard before the first echo.
TEST(DelayLine, ConstantDelayIsExactBlockCopy) {
    const std::vector<int> odd = {kBlock, 37, 5, 128, 90};
    // clang-format off
    const ConstantCase cases[] = {
        {"100 ms at 48 kHz", 48000.0f, DelayLine::Milliseconds, 100.0f, true, DelayLine::Tape,
         DelayLine::Deferred, 4800, odd},
        {"Stretch, 1 s in samples", 48000.0f, DelayLine::Samples, 48000.0f, true, DelayLine::Stretch,
         DelayLine::Deferred, 48000, odd},
        {"10.7 samples' worth truncates", 48000.0f, DelayLine::Milliseconds, 10.7f / 48.0f, false,
         DelayLine::Tape, DelayLine::Deferred, 10, {8, 10, 3}},
        {"immediate write, no delay", 44100.0f, DelayLine::Milliseconds, 0.0f, true, DelayLine::Tape,
         DelayLine::Immediate, 0, odd},
    };
    // clang-format on
    for (const ConstantCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.rate, ramp);
        rig.delay.timeUnit = c.unit;
        rig.delay.smoothDelayChanges = c.glide;
        rig.delay.readType = c.type;
        rig.delay.setWriteMode(c.writeMode);
        rig.delay.delayTimeSource().value().jumpTo(c.time);
        long n = rig.delay.ringLength() + 20000;
        std::vector<float> out = rig.run(n, c.blocks);
        EXPECT_EQ(rig.sampleReads, 0);
        long wrong = 0;
        for (long i = 0; i < n; ++i) {
            float expected = i >= c.expected ? ramp(i - c.expected) : 0.0f;
            if (out[i] != expected && wrong++ < 3) {
                ADD_FAILURE() << "sample " << i << ": " << out[i] << " != " << expected;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// Tape: a jump of the delay time from 100 to 200 ms is followed by a critically damped 5 Hz glide.
// A ramp input turns the output into the read position: delay = index - output.
TEST(DelayLine, TapeGlideApproachesNewTimeWithoutOvershoot) {
    Rig rig(48000.0f, [](long n) { return static_cast<float>(n); });
    rig.delay.delayTimeSource().value().jumpTo(100.0f);
    rig.run(24000);
    rig.delay.delayTimeSource().value().jumpTo(200.0f);
    std::vector<float> out = rig.run(48000);
    auto delayAt = [&](long i) { return static_cast<double>(24000 + i) - out[i]; };
    auto share = [&](double ms) { return (delayAt(static_cast<long>(ms * 48.0)) - 4800.0) / 4800.0; };

    double previous = 4800.0;
    for (long i = 0; i < 24000; ++i) {
        double d = delayAt(i);
        ASSERT_GE(d, previous - 0.01) << "the read position turned back at " << i;
        ASSERT_LE(d, 9600.01) << "overshoot at " << i;
        previous = d;
    }
    EXPECT_NEAR(share(125.0), 0.90, 0.02);
    EXPECT_LT(share(200.0), 0.99);
    EXPECT_GT(share(220.0), 0.99);
    // The pitch drops while the time grows: the read head runs slower than the write head.
    EXPECT_LT(out[2400] - out[2399], 1.0f);
    EXPECT_EQ(delayAt(47999), 9600.0);
    EXPECT_EQ(rig.delay.lastReadPath(), DelayLine::ReadPath::BlockCopy);
}

// The same change on a 1 kHz sine: Tape bends the pitch, Stretch keeps it. The pitch is measured by
// zero crossings in 20 ms windows (40 at 1 kHz).
TEST(DelayLine, StretchKeepsPitchWhileTapeBendsIt) {
    for (DelayLine::ReadType type : {DelayLine::Tape, DelayLine::Stretch}) {
        SCOPED_TRACE(type == DelayLine::Tape ? "Tape" : "Stretch");
        const double omega = 2.0 * std::numbers::pi * 1000.0 / 44100.0;
        Rig rig(44100.0f, [omega](long n) { return static_cast<float>(std::sin(omega * (n + 0.25))); });
        rig.delay.readType = type;
        rig.delay.delayTimeSource().value().jumpTo(100.0f);
        rig.run(22050);
        rig.delay.delayTimeSource().value().jumpTo(200.0f);
        std::vector<float> out = rig.run(22050);
        int worst = 0;
        for (long w = 0; w + 882 <= 22050; w += 882)
            worst = std::max(worst, std::abs(zeroCrossings(out, w, 882) - 40));
        if (type == DelayLine::Stretch) {
            EXPECT_LE(worst, 2);
        } else {
            EXPECT_GE(worst, 10);
        }
    }
}

// Stretch, glide off: the old grain plays on until the next grain start (within 85 ms), then the new
// grain at 200 ms fades in over 3748 samples at 44.1 kHz along the 36 dB curve.
TEST(DelayLine, StretchCrossFadesOverOneGrain) {
    Rig rig(44100.0f, [](long n) { return static_cast<float>(n); });
    rig.delay.readType = DelayLine::Stretch;
    rig.delay.smoothDelayChanges = false;
    rig.delay.delayTimeSource().value().jumpTo(100.0f);
    rig.run(44100);
    rig.delay.delayTimeSource().value().jumpTo(200.0f);
    std::vector<float> out = rig.run(22050);
    auto delayAt = [&](long i) { return static_cast<double>(44100 + i) - out[i]; };

    long lastOld = -1;
    long firstNew = -1;
    double previous = 4410.0;
    for (long i = 0; i < 22050; ++i) {
        double d = delayAt(i);
        ASSERT_GE(d, previous - 0.01) << i;
        previous = d;
        if (std::fabs(d - 4410.0) < 0.01) lastOld = i;
        if (firstNew < 0 && std::fabs(d - 8820.0) < 0.01) firstNew = i;
    }
    ASSERT_GE(lastOld, 0);
    ASSERT_GT(firstNew, lastOld);
    EXPECT_LT(lastOld, 3748) << "the new grain starts within 85 ms";
    EXPECT_EQ(firstNew - lastOld, 3748);
    // Half way through the fade the old grain is 18 dB down.
    double oldWeight = (8820.0 - delayAt(lastOld + 1874)) / 4410.0;
    EXPECT_NEAR(20.0 * std::log10(oldWeight), -18.0, 0.05);
    EXPECT_EQ(rig.delay.lastReadPath(), DelayLine::ReadPath::BlockCopy)
        << "settled grains read by block copies";
}

// After a reset the old ring contents stay hidden until new samples reach the read position, in
// every read path; a changing delay takes the sample-by-sample paths.
TEST(DelayLine, UnwrittenSamplesReadAsZero) {
    struct Case {
        DelayLine::ReadType type;
        bool varying;
    };
    for (Case c : {Case{DelayLine::Tape, false}, Case{DelayLine::Tape, true}, Case{DelayLine::Stretch, false},
                   Case{DelayLine::Stretch, true}}) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << (c.varying ? ", varying" : ", constant"));
        Rig rig(48000.0f, [](long) { return 1.0f; });
        // 1000 ms plus at most 0.5 ms, never marked constant.
        TestSignalSource varying(rig.env,
                                 [](long n) { return 1000.0f + 0.25f * (1.0f + std::sin(n * 0.001f)); });
        rig.delay.readType = c.type;
        rig.delay.delayTimeSource().value().jumpTo(1000.0f);
        if (c.varying) rig.delay.setDelayTime(&varying);
        rig.run(rig.delay.ringLength() + kBlock);  // the whole ring holds 1.0
        rig.env.reset();
        EXPECT_EQ(rig.delay.filled(), 0);
        rig.input.setSignal([](long) { return 0.25f; });
        std::vector<float> out = rig.run(60000);
        for (long i = 0; i < 48000; ++i) ASSERT_EQ(out[i], 0.0f) << "stale sample at " << i;
        for (long i = 48100; i < 60000; ++i) ASSERT_NEAR(out[i], 0.25f, 1e-6) << i;
        if (c.varying) {
            EXPECT_GT(rig.sampleReads, 0);
        }
    }
}

// Stretch to a delay that reaches before the reset: the old grain fades out smoothly while the new
// one reads silence, instead of the output dropping to zero at the grain start.
TEST(DelayLine, StretchFadesIntoUnwrittenSamplesWithoutDropout) {
    Rig rig(48000.0f, [](long) { return 0.25f; });
    rig.delay.readType = DelayLine::Stretch;
    rig.delay.smoothDelayChanges = false;
    rig.delay.delayTimeSource().value().jumpTo(100.0f);
    rig.run(24000);  // 500 ms written
    rig.delay.delayTimeSource().value().jumpTo(1000.0f);
    std::vector<float> out = rig.run(12000);
    float largestStep = 0.0f;
    for (long i = 1; i < 12000; ++i) largestStep = std::max(largestStep, std::fabs(out[i] - out[i - 1]));
    EXPECT_LT(largestStep, 0.001f);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_EQ(out[11999], 0.0f);
}

// Linear interpolation between ring samples stays accurate at the ring's large indices: a 1 kHz sine
// delayed by 1000 + 1/32 samples matches the exactly delayed sine within the interpolation error.
TEST(DelayLine, TapeInterpolatesFractionalDelays) {
    const double omega = 2.0 * std::numbers::pi * 1000.0 / 48000.0;
    const double d = 1000.03125;
    Rig rig(48000.0f, [omega](long n) { return static_cast<float>(std::sin(omega * n)); });
    TestSignalSource time(rig.env, [d](long) { return static_cast<float>(d); });  // not marked constant
    rig.delay.timeUnit = DelayLine::Samples;
    rig.delay.smoothDelayChanges = false;
    rig.delay.setDelayTime(&time);
    std::vector<float> out = rig.run(48000);
    double worst = 0.0;
    for (long i = 1100; i < 48000; ++i)
        worst = std::max(worst, std::fabs(out[i] - std::sin(omega * (i - d))));
    EXPECT_LT(worst, 1e-3);
    EXPECT_EQ(rig.blockCopies, 0);
}

// The input is written in the closing pass: a feedback loop through the line builds its echoes
// whether or not anyone pulled the line's output in the cycle, and the loop's mixer runs once per
// cycle. An immediate write in the same loop gives the same echoes.
TEST(DelayLine, ClosingPassWritesFeedbackLoop) {
    // input + 0.5 * delayed, recorded at the running position
    class FeedbackMix : public wave::Source {
    public:
        FeedbackMix(wave::Environment& env, wave::Producer& input, wave::Producer& delayed,
                    std::vector<float>& probe)
            : wave::Source(env), input_(input), delayed_(delayed), probe_(probe) {}
        void produce(SampleBuffer& output, int count, int flags) override {
            const float* x = input_.pull(count, flags);
            const float* y = delayed_.pull(count, flags);
            int at = environment().runningPosition();
            for (int i = 0; i < count; ++i) probe_[at + i] = output[i] = x[i] + 0.5f * y[i];
            ++calls;
        }
        int calls = 0;

    private:
        wave::Producer& input_;
        wave::Producer& delayed_;
        std::vector<float>& probe_;
    };

    struct Case {
        const char* name;
        bool pullOutput;
        int writeMode;
    };
    for (Case c : {Case{"output pulled", true, DelayLine::Deferred},
                   Case{"closing pass only", false, DelayLine::Deferred},
                   Case{"immediate write", true, DelayLine::Immediate}}) {
        SCOPED_TRACE(c.name);
        wave::Environment env(kBlock);
        env.setSampleRate(48000.0f);
        TestSignalSource impulse(env, [](long n) { return n == 0 ? 1.0f : 0.0f; });
        DelayLine delay(env);
        std::vector<float> probe(2000, -1.0f);
        FeedbackMix mix(env, impulse, delay, probe);
        delay.setInput(&mix);
        delay.setWriteMode(c.writeMode);
        delay.delayTimeSource().value().jumpTo(10.0f);  // 480 samples
        int cycles = 0;
        long allocations = 0;
        {
            AudioThreadGuard guard;
            for (int done = 0; done < 2000; done += 100, ++cycles) {
                env.advanceCycle();
                if (c.pullOutput) delay.pull(100, 0);
                env.process(100, 0);
            }
            allocations = guard.allocations();
        }
        EXPECT_EQ(allocations, 0);
        EXPECT_EQ(mix.calls, cycles);
        for (int i = 0; i < 2000; ++i) {
            float expected = i % 480 == 0 ? std::ldexp(1.0f, -(i / 480)) : 0.0f;
            ASSERT_EQ(probe[i], expected) << i;
        }
    }
}

// Delays the ring cannot hold (5000 ms at 384 kHz) are held at its limit of 960000 samples; delays
// that are not numbers read as no delay. Nothing is read outside the ring.
TEST(DelayLine, DelaysBeyondTheRingAreLimited) {
    struct Case {
        DelayLine::ReadType type;
        bool varying;
    };
    for (Case c :
         {Case{DelayLine::Tape, false}, Case{DelayLine::Tape, true}, Case{DelayLine::Stretch, true}}) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << (c.varying ? ", varying" : ", constant"));
        Rig rig(384000.0f, ramp);
        TestSignalSource time(rig.env, [](long) { return 5000.0f; });
        rig.delay.readType = c.type;
        rig.delay.delayTimeSource().value().jumpTo(5000.0f);
        if (c.varying) rig.delay.setDelayTime(&time);
        long n = DelayLine::kMaxDelaySamples + 5000;
        std::vector<float> out = rig.run(n);
        for (long i = 0; i < DelayLine::kMaxDelaySamples; ++i) ASSERT_EQ(out[i], 0.0f) << i;
        for (long i = DelayLine::kMaxDelaySamples; i < n; ++i)
            ASSERT_FLOAT_EQ(out[i], ramp(i - DelayLine::kMaxDelaySamples)) << i;
    }
    for (float bad :
         {std::numeric_limits<float>::quiet_NaN(), -50.0f, std::numeric_limits<float>::infinity()}) {
        Rig rig(48000.0f, ramp);
        TestSignalSource time(rig.env, [bad](long) { return bad; });
        rig.delay.setDelayTime(&time);
        for (DelayLine::ReadType type : {DelayLine::Tape, DelayLine::Stretch}) {
            rig.delay.readType = type;
            for (float y : rig.run(4096)) ASSERT_TRUE(std::isfinite(y)) << bad;
        }
    }
}
