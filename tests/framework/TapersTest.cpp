#include <gtest/gtest.h>

#include <cmath>

#include "framework/Tapers.h"

namespace {

struct Curve {
    const char* name;
    float (*forward)(float);
    float (*inverse)(float);
    float low;
    float high;
};

const Curve kCurves[] = {
    {"level", tapers::level, tapers::levelInverse, -1.0f, 1.0f},
    {"envelopeTime", tapers::envelopeTime, tapers::envelopeTimeInverse, 0.0f, 1.0f},
    {"steep", tapers::steep, tapers::steepInverse, 0.0f, 0.98f},
    {"gain", tapers::gain, tapers::gainInverse, 0.0f, 1.0f},
    {"decibel", tapers::decibelToRatio, tapers::ratioToDecibel, -179.0f, 24.0f},
    {"octave", tapers::octaveToSemitone, tapers::semitoneToOctave, -4.0f, 4.0f},
    {"exponentOfTwo", tapers::exponentOfTwo, tapers::logarithmOfTwo, -10.0f, 14.5f},
};

}  // namespace

// Every curve rises strictly over its domain and its inverse undoes it.
TEST(TapersTest, CurvesRiseAndInvertOverTheirDomain) {
    for (const Curve& curve : kCurves) {
        SCOPED_TRACE(curve.name);
        float previous = curve.forward(curve.low);
        for (int i = 0; i <= 1000; ++i) {
            float x = curve.low + (curve.high - curve.low) * float(i) / 1000.0f;
            float y = curve.forward(x);
            if (i > 0) {
                EXPECT_GT(y, previous) << "x = " << x;
            }
            previous = y;
            EXPECT_NEAR(curve.inverse(y), x, 1e-4f * std::fmax(1.0f, std::fabs(x))) << "x = " << x;
        }
    }
}

TEST(TapersTest, CurvesPassThroughTheirAnchorsAndSaturate) {
    struct Case {
        float (*function)(float);
        float x;
        float expected;
    };
    const float knee = std::pow(10.0f, -32.4f / 20.0f);
    const Case cases[] = {
        {tapers::level, 0.5f, 0.16f},
        {tapers::level, -0.9f, -0.91f},
        {tapers::level, 3.0f, 1.0f},
        {tapers::level, -3.0f, -1.0f},
        {tapers::level, 0.05f, 0.001f},
        {tapers::envelopeTime, 0.75f, 0.22f},
        {tapers::envelopeTime, -1.0f, 0.0f},
        {tapers::envelopeTime, 2.0f, 1.0f},
        {tapers::steep, 0.99f, 1.0f},
        {tapers::steep, 0.95f, 0.5f},
        {tapers::steepInverse, 2.0f, 0.98f},
        {tapers::gain, 1.0f, 1.0f},
        {tapers::gain, 0.1f, knee},
        {tapers::gain, 0.05f, knee * 0.5f},
        {tapers::gain, 0.5f, std::pow(10.0f, -0.9f)},
        {tapers::ratioToDecibel, 1e-11f, -180.0f},
        {tapers::ratioToDecibel, 0.0f, -180.0f},
        {tapers::ratioToDecibel, 2.0f, 6.0206f},
        {tapers::decibelToRatio, -6.0206f, 0.5f},
    };
    for (const Case& c : cases) EXPECT_NEAR(c.function(c.x), c.expected, 1e-4f) << "x = " << c.x;
}
