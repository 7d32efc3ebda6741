#pragma once

#include <cmath>
#include <cstddef>
#include <numbers>

#include "wave/GainCurve.h"

// The curves that shape the modulation sources' values: the MIDI sources' response curves and the
// XLFO's glides. Each is odd-symmetric and maps 0 to 0 and 1 to 1.
namespace responsecurves {

using Function = float (*)(float);

inline float signOf(float x) {
    return x < 0.0f ? -1.0f : 1.0f;
}

inline float linear(float x) {
    return x;
}

// The level controls' gain curve.
inline float exponential(float x) {
    return signOf(x) * gaincurve::gain(std::fabs(x));
}

inline float logarithmic(float x) {
    return signOf(x) * std::log(1.0f + 10.0f * std::fabs(x)) / std::log(11.0f);
}

inline float square(float x) {
    return signOf(x) * x * x;
}

inline float squareRoot(float x) {
    return signOf(x) * std::sqrt(std::fabs(x));
}

inline float sine(float x) {
    return signOf(x) * (std::sin(std::numbers::pi_v<float> * (std::fabs(x) - 0.5f)) + 1.0f) * 0.5f;
}

// The entry of a table listed in the order of a curve enumeration; linear for a value outside it.
template <std::size_t N>
Function select(const Function (&table)[N], int curve) {
    return curve >= 0 && curve < static_cast<int>(N) ? table[curve] : linear;
}

}  // namespace responsecurves
