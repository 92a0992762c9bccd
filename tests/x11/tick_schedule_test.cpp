#include <gtest/gtest.h>

#include "host/x11/tick_schedule.h"

namespace {

TEST(TickSchedule, FirstTickIsDueAtOnce)
{
    const TickSchedule schedule(designedTickMicroseconds);
    EXPECT_EQ(schedule.microsecondsUntilDue(123456), 0);
}

TEST(TickSchedule, TicksFollowTheScheduleNotTheirDrawingTime)
{
    TickSchedule schedule(5000);
    schedule.tickStarted(1000000);
    EXPECT_EQ(schedule.microsecondsUntilDue(1000000), 5000);
    EXPECT_EQ(schedule.microsecondsUntilDue(1003000), 2000);
    EXPECT_EQ(schedule.microsecondsUntilDue(1005000), 0);
    // Woken 700 us late: the next tick is still due on the schedule, at
    // 1 010 000, not 5 ms after the late start.
    schedule.tickStarted(1005700);
    EXPECT_EQ(schedule.microsecondsUntilDue(1005700), 4300);
}

TEST(TickSchedule, ALateTickOwesOneTickNotABurst)
{
    TickSchedule schedule(5000);
    schedule.tickStarted(0);
    // The second tick comes 50 ms late (a slow frame before it): the third
    // is due at once, and the schedule runs on from the late start.
    schedule.tickStarted(55000);
    EXPECT_EQ(schedule.microsecondsUntilDue(55000), 0);
    schedule.tickStarted(56000);
    EXPECT_EQ(schedule.microsecondsUntilDue(56000), 4000);
}

TEST(TickSchedule, PeriodZeroNeverWaits)
{
    TickSchedule schedule(0);
    for (std::int64_t now = 0; now < 10; ++now) {
        schedule.tickStarted(now);
        EXPECT_EQ(schedule.microsecondsUntilDue(now), 0);
    }
}

}  // namespace
