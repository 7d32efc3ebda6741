#include "wave/filters/StateVariableFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "AudioThreadGuard.h"
#include "FilterTestSupport.h"
#include "wave/filters/DesignFilter.h"
#include "wave/filters/GenericFilter.h"

using filtertest::BlockSource;

namespace {
constexpr int kBlock = 128;

float log2Hz(double hz) { return static_cast<float>(std::log2(hz)); }

// A group of clients, each with its own input and control sources.
using Maker = std::function<std::unique_ptr<StateVariableFilter>(wave::Environment&)>;

std::unique_ptr<StateVariableFilter> plainFilter(wave::Environment& env) {
    return std::make_unique<StateVariableFilter>(env);
}

struct Group {
    explicit Group(int clients, float rate = 48000.0f, const Maker& make = plainFilter) : env(kBlock) {
        env.setSampleRate(rate);
        svf = make(env);
        for (int i = 0; i < clients; ++i) {
            inputs.push_back(std::make_unique<BlockSource>(env));
            freqs.push_back(std::make_unique<BlockSource>(env, log2Hz(1000)));
            peaks.push_back(std::make_unique<BlockSource>(env, 0.0f));
            filters.push_back(std::make_unique<GenericFilter>(env));
            GenericFilter& f = *filters.back();
            f.setInput(inputs.back().get());
            f.setFrequencyInput(freqs.back().get());
            f.setPeakInput(peaks.back().get());
            f.joinGroup(svf.get());
        }
    }
    wave::Environment env;
    std::unique_ptr<StateVariableFilter> svf;
    std::vector<std::unique_ptr<BlockSource>> inputs, freqs, peaks;
    std::vector<std::unique_ptr<GenericFilter>> filters;
};
}  // namespace

TEST(StateVariableFilter, CoefficientsFromTheSharedTables) {
    wave::Environment env(kBlock);
    env.setSampleRate(48000.0f);
    StateVariableFilter svf(env);

    StateVariableFilter::Coefficients c = svf.coefficients(log2Hz(1000), 0.0f);
    EXPECT_NEAR(c.f, 2.0 * std::sin(std::numbers::pi * 1000.0 / 144000.0), 2e-5);
    EXPECT_NEAR(c.f, 0.0436, 5e-5);
    EXPECT_NEAR(c.q[0], 2.0f, 1e-4);  // critically damped at peak 0
    EXPECT_FLOAT_EQ(c.d, 0.1f);
    EXPECT_FLOAT_EQ(c.gOut, 10.0f);

    c = svf.coefficients(log2Hz(1000), 0.999f);
    EXPECT_NEAR(c.q[0], 0.0005f, 1e-4);

    // Near and above half the sample rate the coefficient clamps at 0.95 and the stability limit
    // 2 / 0.95 - 0.95 bounds every stage's damping.
    for (double hz : {23000.0, 24000.0, 60000.0, 1e9}) {
        c = svf.coefficients(log2Hz(hz), 0.0f);
        EXPECT_FLOAT_EQ(c.f, 0.95f) << hz;
        for (float q : c.q) EXPECT_NEAR(q, 2.0 / 0.95 - 0.95, 1e-3) << hz;
    }

    // Extra stages take their damping from the raw peak: 0.105, 0.07 and 0.035 at peak 1.
    c = svf.coefficients(log2Hz(500), 1.0f);
    const double arguments[] = {0.105, 0.07, 0.035};
    for (int s = 1; s < 4; ++s) EXPECT_NEAR(c.q[s], 2.0 * (1.0 - std::pow(arguments[s - 1], 0.25)), 1e-3) << s;
    EXPECT_LT(c.q[1], c.q[2]);
    EXPECT_LT(c.q[2], c.q[3]);
}

TEST(StateVariableFilter, TableArgumentsOutsideTheirDomainsAreClamped) {
    // A damping parameter well above the table's end reads the end value instead of wrapping.
    EXPECT_NEAR(StateVariableFilter::dampTable().lookup(50.0f), 2.0 * (1.0 - std::pow(5.0, 0.25)), 1e-4);
    EXPECT_NEAR(StateVariableFilter::dampTable().lookup(-3.0f), 2.0f, 1e-6);
    EXPECT_NEAR(StateVariableFilter::freqTable().lookup(-100.0f), 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(StateVariableFilter::freqTable().lookup(100.0f), 0.95f);
    const auto& clip = StateVariableFilter::defaultClipTable();
    EXPECT_GT(clip.lookup(1000.0f), 1.5f);
    EXPECT_LT(clip.lookup(-1000.0f), -1.5f);
}

// Renders sines through the group and measures the magnitude at the cut-off and one octave into
// the stop band. Peak 0 gives critically damped stages: 1 / q = -6.02 dB per stage at the cut-off,
// and per stage -13.98 dB (low- and high-pass) or -7.96 dB (band-pass) one octave away.
TEST(StateVariableFilter, MeasuredResponsesMatchTheSlopes) {
    struct Case {
        GenericFilter::Response response;
        double octaveDb;   // per stage, one octave into the stop band
        double direction;  // the octave is above (2) or below (0.5) the cut-off
        double levelTolerance;
    };
    // The high-pass output of the repeated stage loses a little level in proportion to the
    // cut-off's share of the sample rate (0.9 dB per stage for 1 kHz at 44.1 kHz); its slope is
    // exact, so its level gets the wider tolerance.
    const Case cases[] = {{GenericFilter::LowPass, -13.98, 2.0, 0.35},
                          {GenericFilter::HighPass, -13.98, 0.5, 1.0},
                          {GenericFilter::BandPass, -7.96, 2.0, 0.35}};
    const std::pair<GenericFilter::Slope, int> slopes[] = {
        {GenericFilter::Slope12, 1}, {GenericFilter::Slope24, 2}, {GenericFilter::Slope48, 4}};
    const double cutoff = 1000.0;
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        for (const Case& c : cases) {
            for (auto [slope, stages] : slopes) {
                double measured[2];
                for (int k = 0; k < 2; ++k) {
                    Group g(1, rate);
                    GenericFilter& f = *g.filters[0];
                    f.response.set(c.response);
                    f.slope.set(slope);
                    g.freqs[0]->fill(log2Hz(cutoff));
                    measured[k] = filtertest::measureGainDb(
                        g.env, k == 0 ? cutoff : cutoff * c.direction, 0.05,
                        [&](const float* in, int n) {
                            std::copy(in, in + n, g.inputs[0]->block.begin());
                            g.inputs[0]->constant = false;
                        },
                        [&](int n) { return f.pull(n, 0); });
                }
                EXPECT_NEAR(measured[0], -6.02 * stages, c.levelTolerance * stages)
                    << "rate " << rate << " response " << c.response << " slope " << slope;
                EXPECT_NEAR(measured[1] - measured[0], (c.octaveDb + 6.02) * stages, 0.3 * stages)
                    << "rate " << rate << " response " << c.response << " slope " << slope;
            }
        }
    }
}

TEST(StateVariableFilter, StageStatesStayBoundedForAnyInput) {
    const float inputs[] = {1e30f, -1e30f, INFINITY, -INFINITY, NAN, 50.0f, -50.0f, 0.0f};
    for (int response : {0, 1, 2}) {
        Group g(2);
        for (auto& f : g.filters) {
            f->response.set(static_cast<GenericFilter::Response>(response));
            f->slope.set(GenericFilter::Slope48);
        }
        g.peaks[0]->fill(1.0f);
        g.peaks[1]->fill(0.999f);
        std::mt19937 random(3);
        for (int blockIndex = 0; blockIndex < 64; ++blockIndex) {
            for (int l = 0; l < 2; ++l) {
                for (float& s : g.inputs[l]->block) s = inputs[random() % 8];
                g.inputs[l]->constant = false;
            }
            g.env.advanceCycle();
            AudioThreadGuard guard;
            const float* out0 = g.filters[0]->pull(kBlock, 0);
            const float* out1 = g.filters[1]->pull(kBlock, 0);
            filtertest::expectRealTimeSafe(guard);
            g.env.process(kBlock, 0);
            for (int s = 0; s < 4; ++s) {
                for (int l = 0; l < 2; ++l) {
                    ASSERT_LE(std::fabs(g.svf->bandPassState(s, l)), 1.0f);
                    ASSERT_LE(std::fabs(g.svf->lowPassState(s, l)), 10.0f);
                }
            }
            for (int i = 0; i < kBlock; ++i) {
                ASSERT_TRUE(std::isfinite(out0[i]) && std::isfinite(out1[i])) << i;
            }
        }
    }
    // The one-lane path clamps the same way.
    wave::Environment env(kBlock);
    StateVariableFilter unit(env);
    unit.slope.set(3);
    std::vector<float> in(kBlock), out(kBlock), freq(kBlock, log2Hz(2000)), peak(kBlock, 1.0f);
    for (int b = 0; b < 16; ++b) {
        for (int i = 0; i < kBlock; ++i) in[i] = inputs[(i * 7 + b) % 8];
        AudioThreadGuard guard;
        unit.process(in.data(), out.data(), freq.data(), peak.data(), nullptr, kBlock, true);
        filtertest::expectRealTimeSafe(guard);
        for (int s = 0; s < 4; ++s) {
            ASSERT_LE(std::fabs(unit.bandPassState(s, 0)), 1.0f);
            ASSERT_LE(std::fabs(unit.lowPassState(s, 0)), 10.0f);
        }
    }
}

TEST(StateVariableFilter, SegmentsFollowTheCutoffAndThe32SampleGrid) {
    Group g(2);
    auto run = [&] {
        g.env.advanceCycle();
        AudioThreadGuard guard;
        g.filters[0]->pull(kBlock, 0);
        filtertest::expectRealTimeSafe(guard);
        g.env.process(kBlock, 0);
        return std::vector<int>(g.svf->segmentLengths(), g.svf->segmentLengths() + g.svf->segmentCount());
    };
    // Constant inputs: one segment for the whole block.
    EXPECT_EQ(run(), std::vector<int>{kBlock});

    // A slowly moving cut-off (or a moving peak) updates on the 32-sample grid only.
    for (int i = 0; i < kBlock; ++i) g.freqs[1]->block[i] = log2Hz(1000) + 0.0005f * i;
    g.freqs[1]->constant = false;
    EXPECT_EQ(run(), (std::vector<int>{32, 32, 32, 32}));

    // A fast sweep on one lane (one octave per 64 samples) forces updates inside the runs.
    for (int i = 0; i < kBlock; ++i) g.freqs[1]->block[i] = log2Hz(500) + i / 64.0f;
    std::vector<int> segments = run();
    EXPECT_GT(segments.size(), 4u);
    int position = 0;
    for (int length : segments) {
        int start = position;
        position += length;
        EXPECT_LE(length, 32);
        // Every run stays within a tenth of an octave of its first sample, and a run that ends off
        // the grid ends because the next sample moved further.
        for (int i = start; i < position; ++i)
            EXPECT_LE(g.freqs[1]->block[i] - g.freqs[1]->block[start], 0.1f + 1e-6f);
        if (position % 32 != 0) {
            EXPECT_GT(g.freqs[1]->block[position] - g.freqs[1]->block[start], 0.1f);
        }
    }
    EXPECT_EQ(position, kBlock);
}

// Four clients through the vector path against four filters running the plain one-lane path, with
// different inputs, sweeping cut-offs and peaks per lane; for the plain filter and for a designed one
// with drive, cubic saturation and an input gain. The paths differ only by the one-lane path's
// offsets against denormals (absorbed by rounding at these levels), so they agree to within 1e-4.
TEST(StateVariableFilter, FourLanesMatchOneLane) {
    static const DesignFilter::Style prime("Prime.fil", 1.8f);
    const Maker makers[] = {plainFilter, [](wave::Environment& env) -> std::unique_ptr<StateVariableFilter> {
                                return std::make_unique<DesignFilter>(env, &prime);
                            }};
    for (int design = 0; design < 2; ++design) {
        for (int slope : {1, 2, 3}) {
            for (int response : {0, 1, 2}) {
                Group g(4, 48000.0f, makers[design]);
                wave::Environment& env = g.env;
                std::vector<std::unique_ptr<StateVariableFilter>> units;
                std::vector<std::unique_ptr<GenericFilter>> singles;
                for (int l = 0; l < 4; ++l) {
                    g.filters[l]->response.set(static_cast<GenericFilter::Response>(response));
                    g.filters[l]->slope.set(static_cast<GenericFilter::Slope>(slope));
                    units.push_back(makers[design](env));
                    singles.push_back(std::make_unique<GenericFilter>(env));
                    singles[l]->setUnit(units[l].get());
                    singles[l]->setInput(g.inputs[l].get());
                    singles[l]->setFrequencyInput(g.freqs[l].get());
                    singles[l]->setPeakInput(g.peaks[l].get());
                    singles[l]->response.set(static_cast<GenericFilter::Response>(response));
                    singles[l]->slope.set(static_cast<GenericFilter::Slope>(slope));
                }
                std::mt19937 random(slope * 10 + response);
                std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
                double worst = 0.0;
                for (int b = 0; b < 200; ++b) {
                    for (int l = 0; l < 4; ++l) {
                        for (float& s : g.inputs[l]->block) s = noise(random);
                        g.inputs[l]->constant = false;
                        // One fast sweep shared by the lanes, offset per lane, so that both paths
                        // split their blocks at the same samples.
                        for (int i = 0; i < kBlock; ++i)
                            g.freqs[l]->block[i] = 7.0f + l + 3.0f * std::sin(0.002f * (b * kBlock + i));
                        g.freqs[l]->constant = false;
                        g.peaks[l]->fill(0.15f * l + 0.05f);
                    }
                    env.advanceCycle();
                    AudioThreadGuard guard;
                    const float* grouped[4];
                    for (int l = 0; l < 4; ++l) grouped[l] = g.filters[l]->pull(kBlock, 0);
                    const float* single[4];
                    for (int l = 0; l < 4; ++l) single[l] = singles[l]->pull(kBlock, 0);
                    filtertest::expectRealTimeSafe(guard);
                    env.process(kBlock, 0);
                    for (int l = 0; l < 4; ++l)
                        for (int i = 0; i < kBlock; ++i)
                            worst = std::max(worst, double(std::fabs(grouped[l][i] - single[l][i])));
                }
                EXPECT_LT(worst, 1e-4) << "design " << design << " slope " << slope << " response " << response;
            }
        }
    }
}

TEST(StateVariableFilter, InactiveClientsPassTheirInputThrough) {
    Group g(2);
    g.filters[0]->wetSource().value().jumpTo(0.0f);
    g.filters[1]->wetSource().value().jumpTo(0.0f);
    for (auto& in : g.inputs) {
        in->fill(0.25f);
        in->constant = false;
    }
    g.env.advanceCycle();
    AudioThreadGuard guard;
    g.filters[0]->pull(kBlock, 0);
    filtertest::expectRealTimeSafe(guard);
    for (int l = 0; l < 2; ++l) {
        EXPECT_EQ(g.filters[l]->cycleStamp(), g.env.cycleStamp());
        EXPECT_EQ(g.filters[l]->currentOutput(), g.inputs[l]->currentOutput());
    }
    // With one lane inactive, the other is filtered and the inactive lane's state stays untouched.
    g.filters[0]->wetSource().value().jumpTo(1.0f);
    for (int b = 0; b < 4; ++b) {
        g.env.advanceCycle();
        g.filters[0]->pull(kBlock, 0);
        g.env.process(kBlock, 0);
    }
    EXPECT_NE(g.svf->lowPassState(0, 0), 0.0f);
    EXPECT_EQ(g.svf->lowPassState(0, 1), 0.0f);
    EXPECT_EQ(g.filters[1]->currentOutput(), g.inputs[1]->currentOutput());
}

// The eight-wide clip stage must give the four-wide one's bits: inputs beyond the table's domain,
// NaN, fast sweeps that cut odd runs, and odd block lengths.
TEST(StateVariableFilter, EightWideClipMatchesFourWide) {
    StateVariableFilter::useEightWide(true);
    if (!StateVariableFilter::eightWide()) GTEST_SKIP() << "no AVX2 on this processor";
    static const DesignFilter::Style prime("Prime.fil", 1.8f);
    const Maker design = [](wave::Environment& env) -> std::unique_ptr<StateVariableFilter> {
        return std::make_unique<DesignFilter>(env, &prime);
    };
    Group four(4, 48000.0f, design), eight(4, 48000.0f, design);
    std::mt19937 random(9);
    std::uniform_real_distribution<float> noise(-30.0f, 30.0f);
    for (int b = 0; b < 100; ++b) {
        int count = b % 2 ? kBlock - 1 : kBlock;
        for (Group* g : {&four, &eight}) {
            std::mt19937 same(b);
            for (int l = 0; l < 4; ++l) {
                for (float& s : g->inputs[l]->block) s = noise(same);
                if (b % 7 == 0) g->inputs[l]->block[l] = NAN;
                g->inputs[l]->constant = false;
                for (int i = 0; i < kBlock; ++i) g->freqs[l]->block[i] = 8.0f + l + 4.0f * std::sin(0.05f * (b * kBlock + i));
                g->freqs[l]->constant = false;
                g->peaks[l]->fill(0.3f * l);
            }
        }
        const float* out[2][4];
        int k = 0;
        for (Group* g : {&four, &eight}) {
            StateVariableFilter::useEightWide(g == &eight);
            g->env.advanceCycle();
            for (int l = 0; l < 4; ++l) out[k][l] = g->filters[l]->pull(count, 0);
            g->env.process(count, 0);
            ++k;
        }
        for (int l = 0; l < 4; ++l)
            ASSERT_EQ(0, std::memcmp(out[0][l], out[1][l], sizeof(float) * count)) << "block " << b << " lane " << l;
    }
    StateVariableFilter::useEightWide(true);
}
