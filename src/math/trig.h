// Sine and cosine of a single-precision angle in radians, in single precision.
#pragma once

#include <cmath>

inline float floatSin(float radians) { return std::sin(radians); }
inline float floatCos(float radians) { return std::cos(radians); }

// Degrees per radian as the program's single-precision constant.
constexpr float degreesPerRadian = 57.2958f;
