// The clock the POSIX hosts pace their frames by: monotonic, in
// microseconds from an arbitrary origin; and a length of time in
// microseconds as the system's waits take it.
#pragma once

#include <time.h>

#include <cstdint>

inline std::int64_t monotonicMicroseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// microseconds >= 0.
inline timespec timespecOfMicroseconds(std::int64_t microseconds)
{
    return {time_t(microseconds / 1000000), long(microseconds % 1000000) * 1000};
}
