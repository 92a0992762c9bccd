// The process-wide random generator and the draws built on it.
//
// One linear congruential generator serves the whole program, from one
// thread. Each draw advances state = state * 214013 + 2531011 (mod 2^32) and
// yields bits 16 to 30 of the new state, 0 to 32767. The order of draws fixes
// every random result of the scene, so callers document theirs.
#pragma once

#include <cstdint>

void randomSeed(std::uint32_t seed);
std::uint32_t randomState();

// The next raw value, 0 to 32767.
int randomNext();

// next / 32768 * x: a value in [0, x). One draw. The double and float forms
// compute in their own precision, as their callers do.
double randomUniform(double x);
float randomUniform(float x);

// (u1 + ... + u6 - 3) * 1.414 * x with six randomUniform(1) draws summed in
// order. 1.414 is the intended constant, not the square root of two. Six draws.
double randomGauss(double x);

// u = randomUniform(1) in single precision, then squared n - 1 times:
// n = 2 gives u^2, n = 3 gives u^4. One draw.
float randomPowered(int n);
