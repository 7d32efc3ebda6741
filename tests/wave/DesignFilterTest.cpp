#include "wave/filters/DesignFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "FilterFileFixture.h"
#include "persistence/streams/BinaryDataReader.h"

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
