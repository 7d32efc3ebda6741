#pragma once

#include <limits>

// The gap between 1 and the next float: two values closer than this count as equal, and a gain
// within it of 0 counts as silence.
inline constexpr float kFloatEpsilon = std::numeric_limits<float>::epsilon();
