// The drawn responses against the engine's filters themselves: a quiet sine through the real
// filter object must come out at the level the display draws.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "interface/filter/FilterResponse.h"
#include "wave/filters/BiQuadFilter.h"
#include "wave/filters/DesignFilter.h"
#include "wave/filters/MultiDesignFilter.h"

namespace interface_test {
namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;

// The level (dB) at which a sine of the frequency leaves the unit, measured by correlation over
// the last tenth of a second after half a second of settling.
float measuredDb(GenericFilter::FilterUnit& unit, float cutoff, float peak, float hz) {
    const float amplitude = 1e-3f;
    std::vector<float> in(kBlock), out(kBlock), frequency(kBlock, cutoff), peaks(kBlock, peak);
    const int total = int(0.6f * kRate), measureFrom = int(0.5f * kRate);
    double s = 0.0, c = 0.0;
    for (int start = 0; start < total; start += kBlock) {
        for (int i = 0; i < kBlock; ++i)
            in[i] = amplitude * float(std::sin(2.0 * std::numbers::pi * hz * (start + i) / kRate));
        unit.process(in.data(), out.data(), frequency.data(), peaks.data(), nullptr, kBlock, true);
        for (int i = 0; i < kBlock; ++i) {
            const int n = start + i;
            if (n < measureFrom) continue;
            const double phase = 2.0 * std::numbers::pi * hz * n / kRate;
            s += out[i] * std::sin(phase);
            c += out[i] * std::cos(phase);
        }
    }
    const int counted = ((total + kBlock - 1) / kBlock) * kBlock - measureFrom;
    const double magnitude = 2.0 * std::hypot(s, c) / counted;
    return float(20.0 * std::log10(magnitude / amplitude));
}

struct Case {
    int characteristic;  // 10: the clean biquad
    int response;
    int slope;
    float peak;
};

TEST(FilterResponse, MatchesTheEngineFilterForAQuietSignal) {
    wave::Environment environment(kBlock);
    environment.setSampleRate(kRate);
    const auto characteristics = MultiDesignFilter::Style::createCharacteristics();
    FilterResponse response(kRate);
    const float cutoff = std::log2(1000.0f);
    for (const Case c : {Case{0, GenericFilter::LowPass, 1, 0.0f}, Case{3, GenericFilter::LowPass, 3, 0.6f},
                         Case{1, GenericFilter::HighPass, 2, 0.3f}, Case{8, GenericFilter::BandPass, 1, 0.5f},
                         Case{10, GenericFilter::LowPass, 2, 0.7f}, Case{10, GenericFilter::HighPass, 1, 0.0f}}) {
        std::unique_ptr<GenericFilter::FilterUnit> unit;
        if (c.characteristic < characteristics->size())
            unit = std::make_unique<DesignFilter>(environment, characteristics->at(c.characteristic));
        else
            unit = std::make_unique<BiQuadFilter>(environment);
        unit->response = c.response;
        unit->slope = c.slope;
        const FilterResponse::Setting setting{cutoff, c.peak, c.response, c.slope, c.characteristic};
        for (float hz : {250.0f, 1000.0f, 2500.0f}) {
            unit->reset();
            const float expected = response.magnitudeDb(setting, std::log2(hz));
            if (expected < -70.0f) continue;  // below what a 1e-3 sine can show
            EXPECT_NEAR(measuredDb(*unit, cutoff, c.peak, hz), expected, 0.25f)
                << "characteristic " << c.characteristic << " response " << c.response << " slope " << c.slope
                << " at " << hz << " Hz";
        }
    }
}

TEST(FilterResponse, LowPassFallsBySixDecibelsPerOctavePerPole) {
    FilterResponse response(kRate);
    for (int characteristic : {0, 10})
        for (int slope = 1; slope <= 3; ++slope) {
            const FilterResponse::Setting s{std::log2(200.0f), 0.0f, GenericFilter::LowPass, slope, characteristic};
            const float fall = response.magnitudeDb(s, std::log2(800.0f)) - response.magnitudeDb(s, std::log2(1600.0f));
            const float poles = slope == 3 ? 8.0f : 2.0f * float(slope);
            EXPECT_NEAR(fall, 6.02f * poles, 0.1f * 6.02f * poles) << characteristic << " slope " << slope;
        }
}

}  // namespace
}  // namespace interface_test
