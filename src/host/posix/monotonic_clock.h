// The clock the POSIX hosts pace their frames by: monotonic, in
// microseconds from an arbitrary origin.
#pragma once

#include <time.h>

#include <cstdint>

inline std::int64_t monotonicMicroseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}
