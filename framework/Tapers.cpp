#include "framework/Tapers.h"

#include <cmath>
#include <cstddef>

#include "wave/GainCurve.h"

namespace tapers {
namespace {

struct Point {
    float x;
    float y;
};

// Linear interpolation in the first segment whose upper end is not below x; the first point's value
// at or below its x, the last point's value beyond the last x. With swapped set, the columns trade
// places, which gives the inverse of a rising curve.
template <std::size_t N>
float interpolate(const Point (&points)[N], float x, bool swapped) {
    auto in = [&](std::size_t i) { return swapped ? points[i].y : points[i].x; };
    auto out = [&](std::size_t i) { return swapped ? points[i].x : points[i].y; };
    if (!(x > in(0))) return out(0);
    for (std::size_t i = 1; i < N; ++i) {
        if (in(i) >= x) {
            float t = (x - in(i - 1)) / (in(i)-in(i - 1));
            return out(i - 1) + t * (out(i) - out(i - 1));
        }
    }
    return out(N - 1);
}

constexpr Point kLevel[] = {{0.0f, 0.0f},  {0.1f, 0.002f}, {0.25f, 0.05f}, {0.5f, 0.16f},
                            {0.7f, 0.36f}, {0.9f, 0.91f},  {1.0f, 1.0f}};

constexpr Point kEnvelopeTime[] = {{0.0f, 0.0f},   {0.15f, 0.02f}, {0.2f, 0.03f}, {0.33f, 0.05f},
                                   {0.4f, 0.07f},  {0.5f, 0.1f},   {0.6f, 0.13f}, {0.68f, 0.17f},
                                   {0.75f, 0.22f}, {0.85f, 0.35f}, {0.9f, 0.46f}, {0.95f, 0.66f},
                                   {0.98f, 0.82f}, {1.0f, 1.0f}};

constexpr Point kSteep[] = {{0.0f, 0.0f}, {0.2f, 0.001f}, {0.5f, 0.007f}, {0.7f, 0.03f},
                            {0.8f, 0.1f}, {0.9f, 0.3f},   {0.95f, 0.5f},  {0.98f, 1.0f}};

const float kGainKnee = gaincurve::knee<float>();

float oddSymmetric(float x, bool swapped) {
    float magnitude = interpolate(kLevel, std::fabs(x), swapped);
    return x < 0.0f ? -magnitude : magnitude;
}

}  // namespace

float level(float x) {
    return oddSymmetric(x, false);
}
float levelInverse(float y) {
    return oddSymmetric(y, true);
}

float envelopeTime(float x) {
    return interpolate(kEnvelopeTime, x, false);
}
float envelopeTimeInverse(float y) {
    return interpolate(kEnvelopeTime, y, true);
}

float steep(float x) {
    return interpolate(kSteep, x, false);
}
float steepInverse(float y) {
    return interpolate(kSteep, y, true);
}

float gain(float x) {
    return gaincurve::gain(x);
}

float gainInverse(float g) {
    if (g <= kGainKnee) return g * static_cast<float>(gaincurve::kKneeInput) / kGainKnee;
    return ratioToDecibel(g) / static_cast<float>(gaincurve::kRangeDb) + 1.0f;
}

float decibelToRatio(float x) {
    return std::exp(x * std::log(10.0f) / 20.0f);
}

float ratioToDecibel(float x) {
    if (!(x > 1e-10f)) return -180.0f;
    return std::fmax(20.0f * std::log10(x), -180.0f);
}

float octaveToSemitone(float x) {
    return x * 12.0f;
}
float semitoneToOctave(float x) {
    return x / 12.0f;
}

float exponentOfTwo(float x) {
    return std::exp2(x);
}
float logarithmOfTwo(float x) {
    return std::log2(x);
}

float identity(float x) {
    return x;
}

}  // namespace tapers
