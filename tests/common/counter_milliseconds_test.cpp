// The arithmetic under the Windows clock: counter ticks to milliseconds, and
// the 32-bit tick count extended so that it never wraps.
#include <gtest/gtest.h>

#include <cstdint>

#include "driver/counter_milliseconds.h"

namespace {

struct CounterCase {
    std::uint64_t count;
    std::uint64_t frequency;
    std::uint64_t milliseconds;
};

TEST(CounterMilliseconds, WholeMillisecondsRoundedDownWithoutOverflow)
{
    const CounterCase cases[] = {
        {0, 10000000, 0},
        {9999, 10000000, 0},                    // just under a millisecond
        {10000, 10000000, 1},
        {864000009999, 10000000, 86400000},     // a day of a 10 MHz counter
        {1099511640121, 3579545, 307165195},    // the ACPI timer's rate
        {123456789, 1000, 123456789},
        // count * 1000 exceeds 64 bits from here on.
        {std::uint64_t{1} << 62, 3000000000, 1537228672809},
        {0x7FFFFFFFFFFFFFFF, 0xFFFFFFFF, 2147483648499},
    };
    for (const CounterCase& c : cases)
        EXPECT_EQ(counterMilliseconds(c.count, c.frequency), c.milliseconds)
            << c.count << " ticks at " << c.frequency << " Hz";
}

TEST(WrappingCountExtender, CarriesEachWrapIntoTheHighBits)
{
    struct Reading {
        std::uint32_t reading;
        std::uint64_t extended;
    };
    const Reading readings[] = {
        {1000, 1000},
        {1000, 1000},                              // the same tick again
        {0xFFFFFFF0u, 0xFFFFFFF0u},
        {0x10u, 0x100000010u},                     // wrapped past 2^32
        {0xFFFFFFFFu, 0x1FFFFFFFFu},
        {0u, 0x200000000u},                        // the second wrap, to exactly 0
        {5u, 0x200000005u},
    };
    WrappingCountExtender extender;
    std::uint64_t previous = 0;
    for (const Reading& r : readings) {
        const std::uint64_t extended = extender.extend(r.reading);
        EXPECT_EQ(extended, r.extended) << r.reading;
        EXPECT_GE(extended, previous) << r.reading;
        previous = extended;
    }
}

}  // namespace
