// The hosts' clock for pacing frames: microseconds on the monotonic clock,
// from an arbitrary origin, 64-bit; it never steps back.
#pragma once

#include <cstdint>

std::int64_t monotonicMicroseconds();
