// The watcher's idle time as written on its command line.
#include <gtest/gtest.h>

#include "settings/idle_time.h"

namespace {

struct TimeCase {
    const char* text;
    bool accepted;
    std::uint32_t milliseconds;
};

const TimeCase timeCases[] = {
    {"1", true, 1000},
    {"90", true, 90000},
    {"90s", true, 90000},
    {"5m", true, 300000},
    {"1h", true, 3600000},
    {"007", true, 7000},
    {"24h", true, 86400000},
    {"1440m", true, 86400000},
    {"86400", true, 86400000},
    // Out of range: nothing, or past a day.
    {"0", false, 0},
    {"0s", false, 0},
    {"0h", false, 0},
    {"86401", false, 0},
    {"1441m", false, 0},
    {"25h", false, 0},
    // Large enough to wrap a 32-bit or a 64-bit count.
    {"4294967296", false, 0},
    {"4294967s", false, 0},
    {"99999999999999999999999", false, 0},
    // Not one of the forms.
    {"", false, 0},
    {"s", false, 0},
    {"m", false, 0},
    {"5M", false, 0},
    {"5 m", false, 0},
    {" 5", false, 0},
    {"5 ", false, 0},
    {"-5", false, 0},
    {"+5", false, 0},
    {"1.5m", false, 0},
    {"5ms", false, 0},
    {"5mm", false, 0},
    {"1h30m", false, 0},
    {"5d", false, 0},
    {"0x10", false, 0},
};

}  // namespace

TEST(IdleTime, ReadsSecondsOrOneUnitWithinADay)
{
    for (const TimeCase& c : timeCases) {
        SCOPED_TRACE(c.text);
        std::uint32_t milliseconds = 12345;
        EXPECT_EQ(parseIdleTime(c.text, milliseconds), c.accepted);
        EXPECT_EQ(milliseconds, c.accepted ? c.milliseconds : 12345u) << "a refused time leaves the value";
    }
}

TEST(IdleTime, IsWrittenInItsLargestExactUnit)
{
    const struct {
        std::uint32_t milliseconds;
        const char* text;
    } cases[] = {
        {1000, "1s"}, {90000, "90s"}, {300000, "5m"}, {5400000, "90m"}, {3600000, "1h"}, {86400000, "24h"},
        {1500, "1500ms"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(idleTimeText(c.milliseconds), c.text);
        std::uint32_t back = 0;
        if (c.milliseconds % 1000 == 0) {
            EXPECT_TRUE(parseIdleTime(c.text, back)) << c.text;
            EXPECT_EQ(back, c.milliseconds) << "reads back as written: " << c.text;
        }
    }
}
