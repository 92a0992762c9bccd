// Arithmetic for turning the platform's raw counters into the 64-bit
// millisecond count of elapsedMilliseconds(): whole milliseconds, rounded
// down, that never wrap however long the saver runs.
#pragma once

#include <cstdint>

// count ticks of a counter running at frequency ticks per second, in whole
// milliseconds. Split into seconds and the remainder so that no product
// overflows: count * 1000 would, after 35 days of a 3 GHz counter.
constexpr std::uint64_t counterMilliseconds(std::uint64_t count, std::uint64_t frequency)
{
    return count / frequency * 1000 + count % frequency * 1000 / frequency;
}

// Extends a 32-bit count that wraps to 0 (the system's tick count, every
// 49.7 days) to 64 bits. Correct as long as it is read at least once per
// wrap, which a saver drawing every few milliseconds always does.
class WrappingCountExtender {
public:
    std::uint64_t extend(std::uint32_t reading)
    {
        if (reading < lastReading)
            wrapped += std::uint64_t{1} << 32;
        lastReading = reading;
        return wrapped + reading;
    }

private:
    std::uint32_t lastReading = 0;
    std::uint64_t wrapped = 0;
};
