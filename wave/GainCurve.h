#pragma once

#include <cmath>

// The gain of (a - 1) * 36 dB for a above 0.1, continued by a straight line to silence below it,
// continuous at the knee (-32.4 dB). Level controls, the MIDI sources' exponential response and the
// delay's cross-fade all use it; T is float or double.
namespace gaincurve {

inline constexpr double kRangeDb = 36.0;
inline constexpr double kKneeInput = 0.1;

// The gain at the knee, where the straight line takes over.
template <typename T>
T knee() {
    return std::pow(T(10), T((kKneeInput - 1.0) * kRangeDb) / T(20));
}

// In double precision, the knee keeps the value the delay's cross-fade table has always been built
// with: e to a 15-digit logarithm, 6e-9 of itself above the exact 10^(-1.62). Both round to the same
// float; the exact value would move 31 entries of the table by one step and change the output.
template <>
inline double knee<double>() {
    return std::exp(-3.73018784447434);
}

template <typename T>
T gain(T a) {
    if (a > T(kKneeInput)) return std::pow(T(10), (a - T(1)) * T(kRangeDb) / T(20));
    return a * T(10) * knee<T>();
}

}  // namespace gaincurve
