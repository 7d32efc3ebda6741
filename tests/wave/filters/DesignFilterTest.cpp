#include "wave/filters/DesignFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "FilterFileFixture.h"
#include "streams/BinaryDataReader.h"
#include "streams/Resource.h"

namespace {
bool load(DesignFilter::Style& style, const std::string& bytes, std::streamoff* stoppedAt = nullptr) {
    std::istringstream in(bytes, std::ios::binary);
    BinaryDataReader reader(in);
    bool ok = style.load(reader);
    in.clear();
    if (stoppedAt) *stoppedAt = in.tellg();
    return ok;
}

struct Lookup {
    float v, k, d;
};
Lookup lookup(const DesignFilter::Style& s, float frequency, float peak) {
    Lookup l;
    s.lookup(frequency, peak, l.v, l.k, l.d);
    return l;
}
}  // namespace

TEST(DesignFilter, DefaultCharacteristicBehavesLikeThePlainFilter) {
    DesignFilter::Style style("", 1.0f);
    wave::Environment env(64);
    env.setSampleRate(48000.0f);
    DesignFilter design(env, &style);
    StateVariableFilter plain(env);
    for (float frequency : {3.0f, 8.0f, 12.5f, 16.0f, 18.0f}) {
        for (float peak : {0.0f, 0.3f, 0.95f, 1.0f}) {
            auto a = design.coefficients(frequency, peak);
            auto b = plain.coefficients(frequency, peak);
            EXPECT_NEAR(a.q[0], b.q[0], 1e-3) << frequency << " " << peak;
            EXPECT_FLOAT_EQ(a.d, b.d);
            EXPECT_FLOAT_EQ(a.k, b.k);
            EXPECT_FLOAT_EQ(a.gOut, b.gOut);
        }
    }
}

TEST(DesignFilter, LoadedTablesAreIndexedByFrequencyAndPeak) {
    filtertest::FilterFile file;
    file.clipShape = 1.0f;
    file.value = [](int t, int r, int c) {
        return t == 0 ? (r == 0 ? 2.5f : 0.5f * c + 0.05f) : t == 1 ? 0.01f * r : 0.3f * r + 0.001f * c;
    };
    DesignFilter::Style style("", 1.8f);
    ASSERT_TRUE(load(style, file.bytes()));
    EXPECT_FLOAT_EQ(style.clipShape.get(), 1.0f);
    EXPECT_FLOAT_EQ(style.clipTable().shape(), 1.0f);  // rebuilt
    EXPECT_FLOAT_EQ(style.frequencyLow.get(), 2.2666f);
    EXPECT_FLOAT_EQ(style.frequencyHigh.get(), 16.2064f);
    EXPECT_NEAR(style.indexScale(), 10.0 / (16.2064 - 2.2666), 1e-6);

    Lookup l = lookup(style, 2.2666f, 0.0f);  // lowest frequency, peak 0
    EXPECT_FLOAT_EQ(l.d, 2.5f);
    EXPECT_FLOAT_EQ(l.k, 0.0f);
    EXPECT_FLOAT_EQ(l.v, 0.0f);

    l = lookup(style, 16.2064f, 1.0f);  // row 10, column 10 exactly
    EXPECT_NEAR(l.d, 5.05f, 1e-4);
    EXPECT_NEAR(l.k, 0.1f, 1e-6);
    EXPECT_NEAR(l.v, 3.01f, 1e-4);

    // Outside the axis the end columns apply; a peak beyond 1 reads row 10, not past the table.
    EXPECT_EQ(lookup(style, -5.0f, 0.5f).v, lookup(style, 2.2666f, 0.5f).v);
    EXPECT_EQ(lookup(style, 20.0f, 0.5f).v, lookup(style, 16.2064f, 0.5f).v);
    EXPECT_EQ(lookup(style, 9.0f, 4.0f).v, lookup(style, 9.0f, 1.0f).v);
    // Drive never falls below 0.1.
    EXPECT_FLOAT_EQ(lookup(style, 2.2666f, 0.5f).d, 0.1f);
}

TEST(DesignFilter, MalformedFilesAreRefusedAndChangeNothing) {
    filtertest::FilterFile good;
    good.clipShape = 0.7f;
    std::string bytes = good.bytes();
    ASSERT_EQ(bytes.size(), 1484u);

    filtertest::FilterFile wrongTag = good;
    wrongTag.tag = "BXiL";
    filtertest::FilterFile wrongSize = good;
    wrongSize.sizes[1] = 12;
    struct Case {
        const char* what;
        std::string bytes;
        std::streamoff stopsAt;
    };
    const Case cases[] = {
        {"wrong tag", wrongTag.bytes(), 4},  // rejected before any further byte
        {"empty", std::string(), 0},
        {"short header", bytes.substr(0, 14), 14},
        {"truncated table", bytes.substr(0, 1200), 1200},
        {"cubic table of size 12", wrongSize.bytes(), 512},  // nothing after the size
    };
    for (const Case& c : cases) {
        DesignFilter::Style style("", 1.0f);
        std::streamoff stopped = -1;
        EXPECT_FALSE(load(style, c.bytes, &stopped)) << c.what;
        EXPECT_EQ(stopped, c.stopsAt) << c.what;
        EXPECT_FLOAT_EQ(style.clipShape.get(), 0.3f) << c.what;
        Lookup l = lookup(style, 9.0f, 0.5f);  // still the default tables
        EXPECT_FLOAT_EQ(l.v, 0.5f) << c.what;
        EXPECT_FLOAT_EQ(l.d, 0.1f) << c.what;
    }
}

// The ten embedded characteristic files, checked against the values the filter relies on.
TEST(DesignFilter, EmbeddedCharacteristicFilesHonourTheirValues) {
    struct Expected {
        const char* file;
        float clip, low, high;
        float maxDamping;  // 0: damping stays at or below 1 (no self-oscillation)
    };
    const Expected files[] = {
        {"Prime.fil", 0.3f, 2.2666f, 16.2064f, 3.5f},       {"Gentle.fil", 0.31709f, 2.2666f, 16.2064f, 0},
        {"Raw.fil", 1.0f, 2.2666f, 16.2064f, 0},            {"Tube.fil", 1.0f, 2.2666f, 16.2064f, 0},
        {"Metal.fil", 0.1f, 2.2666f, 16.2064f, 3.77f},      {"EasyGoing.fil", 0.54319f, 2.2666f, 16.2064f, 0},
        {"Smooth.fil", 0.18196f, 2.2666f, 16.2064f, 0},     {"Monopoly.fil", 0.68733f, 3.06152f, 15.60288f, 4.31f},
        {"Cheap.fil", 0.91343f, 2.2666f, 16.2064f, 0},      {"Extreme.fil", 0.12878f, 2.2666f, 16.2064f, 0},
    };
    for (const Expected& e : files) {
        DesignFilter::Style style(e.file, 1.0f);
        SCOPED_TRACE(e.file);
        EXPECT_FLOAT_EQ(style.clipShape.get(), e.clip);
        EXPECT_FLOAT_EQ(style.clipTable().shape(), e.clip);
        EXPECT_FLOAT_EQ(style.frequencyLow.get(), e.low);
        EXPECT_FLOAT_EQ(style.frequencyHigh.get(), e.high);
        bool prime = std::string(e.file) == "Prime.fil";
        float largest = 0.0f;
        for (int c = 0; c < 11; ++c) {
            EXPECT_EQ(style.damping.value(0, c), 0.0f);
            EXPECT_EQ(style.cubic.value(0, c), 0.0f);
            EXPECT_FLOAT_EQ(style.drive.value(0, c), prime ? 2.5f : 0.1f);
            for (int r = 0; r < 11; ++r) {
                EXPECT_GE(style.cubic.value(r, c), 0.0f);
                EXPECT_LE(style.cubic.value(r, c), 0.1f);
                EXPECT_GE(style.drive.value(r, c), 0.1f);
                EXPECT_LE(style.drive.value(r, c), 10.0f);
                if (r > 0) {
                    EXPECT_GE(style.damping.value(r, c), style.damping.value(r - 1, c)) << r << ", " << c;
                }
                largest = std::max(largest, style.damping.value(r, c));
            }
        }
        if (e.maxDamping > 0) {
            EXPECT_FLOAT_EQ(largest, e.maxDamping);
        } else {
            EXPECT_LE(largest, 1.0f);
        }
        // The lowest frequency at peak 0 and the top corner at peak 1 read the table's corners.
        Lookup l = lookup(style, e.low, 0.0f);
        EXPECT_FLOAT_EQ(l.d, prime ? 2.5f : 0.1f);
        EXPECT_EQ(l.k, 0.0f);
        EXPECT_EQ(l.v, 0.0f);
        l = lookup(style, e.high, 1.0f);
        EXPECT_FLOAT_EQ(l.v, style.damping.value(10, 10));
        EXPECT_FLOAT_EQ(l.k, style.cubic.value(10, 10));
    }

    DesignFilter::Style prime("Prime.fil", 1.8f);
    const float drive[] = {1.5, 1.5, 1.5, 2, 2, 2.5, 2.5, 3, 4, 8, 8};
    const float cubic[] = {0.001, 0.001, 0.001, 0.003, 0.01, 0.03, 0.04, 0.07, 0.1, 0.1, 0.1};
    const float damping[] = {3.5, 3.5, 3.5, 3.5, 3, 2.5, 1.5, 1.2, 1, 1, 1};
    for (int c = 0; c < 11; ++c) {
        EXPECT_EQ(prime.drive.value(10, c), drive[c]) << c;
        EXPECT_EQ(prime.cubic.value(10, c), cubic[c]) << c;
        EXPECT_EQ(prime.damping.value(10, c), damping[c]) << c;
    }
    EXPECT_FLOAT_EQ(prime.inputGain(), 1.8f);
    EXPECT_THROW(DesignFilter::Style("Missing.fil", 1.0f), EResource);
}

// Coefficients are held while cut-off and peak stay the same; switching the characteristic or the
// sample rate must still take effect at once.
TEST(DesignFilter, HeldCoefficientsFollowTheCharacteristicAndTheRate) {
    DesignFilter::Style prime("Prime.fil", 1.0f), raw("Raw.fil", 1.0f);
    wave::Environment env(64);
    env.setSampleRate(48000.0f);
    std::vector<float> input(64), frequency(64, 11.0f), peak(64, 0.8f);
    for (int i = 0; i < 64; ++i) input[i] = 0.5f * std::sin(0.3f * float(i));
    auto run = [&](DesignFilter& f) {
        std::vector<float> out(64);
        f.reset();
        f.process(input.data(), out.data(), frequency.data(), peak.data(), nullptr, 64, true);
        return out;
    };
    DesignFilter used(env, &prime), fresh(env, &prime);
    run(used);
    used.setCharacteristic(&raw);
    fresh.setCharacteristic(&raw);
    EXPECT_EQ(run(used), run(fresh));

    env.setSampleRate(96000.0f);
    DesignFilter freshAtNewRate(env, &prime);
    freshAtNewRate.setCharacteristic(&raw);
    EXPECT_EQ(run(used), run(freshAtNewRate));
}
