#include <gtest/gtest.h>

#include "host/x11/frame_pacer.h"

namespace {

TEST(FramePacer, FirstFrameIsDueAtOnce)
{
    const FramePacer pacer(designedFramePeriodMicroseconds);
    EXPECT_EQ(pacer.microsecondsUntilDue(123456), 0);
}

TEST(FramePacer, FramesFollowTheScheduleNotTheirDrawingTime)
{
    FramePacer pacer(5000);
    pacer.frameStarted(1000000);
    EXPECT_EQ(pacer.microsecondsUntilDue(1000000), 5000);
    EXPECT_EQ(pacer.microsecondsUntilDue(1003000), 2000);
    EXPECT_EQ(pacer.microsecondsUntilDue(1005000), 0);
    // Woken 700 us late: the next frame is still due on the schedule, at
    // 1 010 000, not 5 ms after the late start.
    pacer.frameStarted(1005700);
    EXPECT_EQ(pacer.microsecondsUntilDue(1005700), 4300);
}

TEST(FramePacer, ALongFrameOwesOneFrameNotABurst)
{
    FramePacer pacer(5000);
    pacer.frameStarted(0);
    // The second frame starts 50 ms late (a slow frame before it): the third
    // is due at once, and the schedule runs on from the late start.
    pacer.frameStarted(55000);
    EXPECT_EQ(pacer.microsecondsUntilDue(55000), 0);
    pacer.frameStarted(56000);
    EXPECT_EQ(pacer.microsecondsUntilDue(56000), 4000);
}

TEST(FramePacer, ThirtyAFrameSecondScheduleKeepsItsAverage)
{
    FramePacer pacer(slowFramePeriodMicroseconds);
    std::int64_t now = 0;
    for (int frame = 0; frame < 300; ++frame) {
        now += pacer.microsecondsUntilDue(now);
        pacer.frameStarted(now);
    }
    // 299 periods after the first frame, within the rounding of the period.
    EXPECT_NEAR(double(now), 299.0 * 1e6 / 30.0, 300.0);
}

TEST(FramePacer, PeriodZeroNeverWaits)
{
    FramePacer pacer(0);
    for (std::int64_t now = 0; now < 10; ++now) {
        pacer.frameStarted(now);
        EXPECT_EQ(pacer.microsecondsUntilDue(now), 0);
    }
}

}  // namespace
