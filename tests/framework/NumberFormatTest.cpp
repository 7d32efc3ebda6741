#include <gtest/gtest.h>

#include <limits>

#include "framework/NumberFormat.h"

TEST(NumberFormatTest, FormatsNumbersAsParameterTextsNeedThem) {
    struct Case {
        double x;
        const char* format;
        const char* expected;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {1.2344, "*3f", "1.234"}, {12.344, "*3f", "12.34"},   {123.44, "*3f", "123.4"},
        {1234.4, "*3f", "1234"},  {9.9994, "*3f", "9.999"},   {9.9996, "*3f", "10.00"},
        {99.996, "*3f", "100.0"}, {-12.344, "*3f", "-12.34"}, {12.344, "*+3f", "+12.34"},
        {0.5, "*2f", "0.50"},     {-0.0004, "%.2f", "0.00"},  {-0.0004, "*2f", "0.00"},
        {-0.004, "%.2f", "0.00"}, {-0.006, "%.2f", "-0.01"},  {inf, "%.3f", "INF"},
        {-inf, "*3f", "-INF"},    {2.5, "%.3f", "2.500"},     {-3.0, "%.1f", "-3.0"},
        {0.0, "%+.2f", "+0.00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatNumber(c.x, c.format), c.expected) << c.x << " with " << c.format;
}

TEST(NumberFormatTest, FrequenciesKeepFiveDigitsAndNeverTurnIntoKilohertz) {
    struct Case {
        float hz;
        const char* expected;
    };
    const Case cases[] = {
        {45.5f, "45.500"},    {99.999f, "99.999"}, {99.9996f, "100.00"}, {440.0f, "440.00"},
        {999.996f, "1000.0"}, {1234.5f, "1234.5"}, {12000.0f, "12000"},  {22050.0f, "22050"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatFrequency(c.hz), c.expected) << c.hz;
}

TEST(NumberFormatTest, DecibelsAreSignedWithSilenceAsMinusInfinity) {
    struct Case {
        float db;
        const char* expected;
    };
    const Case cases[] = {
        {0.0f, "0.00"},    {1e-8f, "0.00"},   {3.0f, "+3.00"},      {-12.5f, "-12.50"},
        {-179.9f, "-INF"}, {-180.0f, "-INF"}, {-179.8f, "-179.80"}, {6.0206f, "+6.02"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatDecibels(c.db), c.expected) << c.db;
}
