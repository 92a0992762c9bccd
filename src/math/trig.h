// Sine, cosine and the four-quadrant arctangent built from IEEE basic
// operations only (+ - * / and exact helpers such as floor and fmod), so the
// native and the 32-bit Windows builds compute the same bits: the C maths
// libraries of the two targets differ in the last bit for many inputs.
//
// Angles are in radians. The double functions are accurate to well under one
// ulp for |x| below 2^40 (far beyond any angle the scene reaches); beyond
// that the angle is first taken modulo the double nearest 2 pi, which keeps
// the result deterministic but no longer tracks the true value. The float
// functions round the double result of the widened argument.
#pragma once

double sineOf(double radians);
double cosineOf(double radians);

// The angle of the point (x, y) from the positive x axis, in [-pi, pi], with
// the signs of zeros and the infinite cases as C's atan2 gives them.
double arcTangent2(double y, double x);

inline float floatSin(float radians) { return float(sineOf(double(radians))); }
inline float floatCos(float radians) { return float(cosineOf(double(radians))); }
inline float floatAtan2(float y, float x) { return float(arcTangent2(double(y), double(x))); }

// Degrees per radian as the program's single-precision constant.
constexpr float degreesPerRadian = 57.2958f;
