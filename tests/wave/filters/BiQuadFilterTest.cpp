#include "wave/filters/BiQuadFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "AudioThreadGuard.h"
#include "FilterTestSupport.h"

namespace {
constexpr int kBlock = 64;

struct Chain {
    explicit Chain(float rate) : env(kBlock), input(env), frequency(env), filter(env), biquad(env) {
        env.setSampleRate(rate);
        filter.setInput(&input);
        filter.setFrequencyInput(&frequency);
        filter.setUnit(&biquad);
    }
    double gainDb(double hz) {
        return filtertest::measureGainDb(
            env, hz, 0.25,
            [&](const float* in, int n) {
                std::copy(in, in + n, input.block.begin());
                input.constant = false;
            },
            [&](int n) { return filter.pull(n, 0); });
    }
    wave::Environment env;
    filtertest::BlockSource input, frequency;
    GenericFilter filter;
    BiQuadFilter biquad;
};

// The magnitude of one section, evaluated from its coefficients.
double sectionDb(const BiQuadFilter::Section& s, double hz, double fs) {
    double w = 2.0 * std::numbers::pi * hz / fs;
    std::complex<double> z1 = std::polar(1.0, -w), z2 = z1 * z1;
    std::complex<double> h = (double(s.b0) + double(s.b1) * z1 + double(s.b2) * z2) /
                             (1.0 + double(s.a1) * z1 + double(s.a2) * z2);
    return 20.0 * std::log10(std::abs(h));
}
}  // namespace

// Peak 0: Butterworth low- and high-pass (-3 dB per section at the cut-off, about -12.3 dB one octave
// into the stop band, a little more near Nyquist from the bilinear mapping); band-pass with a
// bandwidth of fc (0 dB at the centre, -5.1 dB one octave above).
TEST(BiQuadFilter, MeasuredResponsesMatchTheSlopes) {
    struct Case {
        GenericFilter::Response response;
        double atCutoff, octave, direction;
    };
    const Case cases[] = {{GenericFilter::LowPass, -3.01, -12.3, 2.0},
                          {GenericFilter::HighPass, -3.01, -12.3, 0.5},
                          {GenericFilter::BandPass, 0.0, -5.1, 2.0}};
    const std::pair<GenericFilter::Slope, int> slopes[] = {
        {GenericFilter::Slope12, 1}, {GenericFilter::Slope24, 2}, {GenericFilter::Slope48, 4}};
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        for (const Case& c : cases) {
            for (auto [slope, sections] : slopes) {
                double measured[2];
                for (int k = 0; k < 2; ++k) {
                    Chain chain(rate);
                    chain.filter.response.set(c.response);
                    chain.filter.slope.set(slope);
                    chain.frequency.fill(std::log2(1000.0f));
                    measured[k] = chain.gainDb(k == 0 ? 1000.0 : 1000.0 * c.direction);
                    EXPECT_EQ(chain.biquad.sectionCount(), sections);
                }
                EXPECT_NEAR(measured[0], c.atCutoff * sections, 0.15 * sections)
                    << "rate " << rate << " response " << c.response << " slope " << slope;
                EXPECT_NEAR(measured[1], c.octave * sections, 0.4 * sections)
                    << "rate " << rate << " response " << c.response << " slope " << slope;
            }
        }
    }
}

TEST(BiQuadFilter, CutoffIsLimitedAndPeakNarrowsTheBand) {
    wave::Environment env(kBlock);
    env.setSampleRate(48000.0f);
    BiQuadFilter biquad(env);
    BiQuadFilter::Section high, limit, low, one;
    biquad.computeCoefficients(high, std::log2(40000.0f), 0.0f);
    biquad.computeCoefficients(limit, std::log2(0.49f * 48000.0f), 0.0f);
    biquad.computeCoefficients(low, std::log2(0.1f), 0.0f);
    biquad.computeCoefficients(one, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(high.b0, limit.b0);
    EXPECT_FLOAT_EQ(high.a1, limit.a1);
    EXPECT_FLOAT_EQ(low.a1, one.a1);
    EXPECT_FLOAT_EQ(low.a2, one.a2);

    // Band-pass: the -3 dB points lie fc apart at peak 0 and fc / 2 apart at peak 1 (fc = 4 kHz).
    biquad.response.set(GenericFilter::BandPass);
    for (auto [peak, width] : {std::pair{0.0f, 4000.0}, std::pair{1.0f, 2000.0}}) {
        BiQuadFilter::Section s;
        biquad.computeCoefficients(s, std::log2(4000.0f), peak);
        EXPECT_NEAR(sectionDb(s, 4000.0, 48000.0), 0.0, 0.01);
        // Find the upper and lower -3 dB frequencies.
        auto edge = [&](double from, double step) {
            double f = from;
            while (sectionDb(s, f, 48000.0) > -3.0103) f += step;
            return f;
        };
        double bandwidth = edge(4000.0, 0.5) - edge(4000.0, -0.5);
        EXPECT_NEAR(bandwidth, width, width * 0.03) << peak;
    }
}

TEST(BiQuadFilter, CoefficientsFollowAFastSweepInsideThe32SampleRun) {
    wave::Environment env(kBlock);
    BiQuadFilter biquad(env);
    std::vector<float> in(kBlock, 0.0f), out(kBlock), freq(kBlock), peak(kBlock, 0.0f);
    for (int i = 0; i < kBlock; ++i) freq[i] = 10.0f + i * 0.05f;  // 0.05 octave per sample
    {
        AudioThreadGuard guard;
        biquad.process(in.data(), out.data(), freq.data(), peak.data(), nullptr, 32, false);
        filtertest::expectRealTimeSafe(guard);
    }
    // The last update happened at the latest sample more than 0.1 octave from the previous one.
    EXPECT_NEAR(biquad.section(0).frequency, freq[30], 1e-6);
    for (int i = 0; i < kBlock; ++i) freq[i] = 10.0f + i * 0.001f;
    biquad.process(in.data(), out.data(), freq.data(), peak.data(), nullptr, 40, false);
    EXPECT_NEAR(biquad.section(0).frequency, freq[32], 1e-6);  // slow: on the grid only
}
