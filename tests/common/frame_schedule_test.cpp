#include "host/frame_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A restart before the frame at that index, in a case's list of starts.
constexpr std::int64_t restartMark = -1;

struct Case {
    const char* name;
    FrameRate frameRate;
    std::vector<std::int64_t> frameStarts;  // microseconds; restartMark restarts
    std::int64_t now;
    std::int64_t expectedWait;
};

const Case cases[] = {
    {"timer: the first frame is due at once", FrameRate::timer, {}, 123456, 0},
    {"timer: 5 ms after a frame", FrameRate::timer, {1000000}, 1000000, 5000},
    {"timer: part way", FrameRate::timer, {1000000}, 1003000, 2000},
    {"timer: due on time", FrameRate::timer, {1000000}, 1005000, 0},
    {"timer: a late wake-up keeps the schedule", FrameRate::timer, {1000000, 1005700}, 1005700, 4300},
    {"timer: a frame 50 ms late owes one, at once", FrameRate::timer, {0, 55000}, 55000, 0},
    {"timer: and runs on from there", FrameRate::timer, {0, 55000, 56000}, 56000, 4000},
    {"timer: a clock stepped back waits one period", FrameRate::timer, {1000000}, 400000, 5000},
    {"timer: a frame after the step back", FrameRate::timer, {1000000, 400000}, 401000, 4000},
    {"timer: a clock jumped ahead owes one frame", FrameRate::timer, {0, 3600000000}, 3600000000, 0},
    {"timer: restarted, due at once", FrameRate::timer, {0, restartMark}, 1000, 0},
    {"display: the same 5 ms floor", FrameRate::display, {0}, 1000, 4000},
    {"display: a swap that waited 16.7 ms", FrameRate::display, {0, 16667}, 16667, 0},
    {"low: the first frame is due at once", FrameRate::low, {}, 5, 0},
    {"low: a thirtieth of a second, rounded up", FrameRate::low, {0}, 0, 33334},
    {"low: part way", FrameRate::low, {0}, 33000, 334},
    {"low: an early wake-up waits the rest", FrameRate::low, {0}, 20000, 13334},
    {"low: a late wake-up keeps the grid", FrameRate::low, {0, 34000}, 34000, 32667},
    {"low: the grid does not drift", FrameRate::low, {0, 33334, 66667, 100000}, 100000, 33334},
    {"low: more than a step late starts a new grid", FrameRate::low, {0, 100000}, 100000, 33334},
    {"low: a clock stepped back waits one step", FrameRate::low, {1000000}, 0, 33334},
    {"low: a frame after the step back", FrameRate::low, {1000000, 0}, 10000, 23334},
    {"low: restarted, due at once", FrameRate::low, {0, restartMark}, 1000, 0},
};

TEST(FrameSchedule, NextFrameIsDueAsTheTableSays)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameSchedule schedule(c.frameRate);
        for (std::int64_t start : c.frameStarts) {
            if (start == restartMark)
                schedule.restart();
            else
                schedule.frameStarted(start);
        }
        EXPECT_EQ(schedule.microsecondsUntilDue(c.now), c.expectedWait);
    }
}

// A host's loop on a simulated clock: it sleeps exactly until the schedule
// says, then draws; the swap takes swapMicroseconds (0 for a driver that
// accepts a swap interval and ignores it). Frames started in one second
// after the first.
int framesInASecond(FrameRate frameRate, std::int64_t swapMicroseconds)
{
    FrameSchedule schedule(frameRate);
    std::int64_t now = 1000000;
    const std::int64_t end = now + 1000000;
    int frames = 0;
    while (now < end) {
        const std::int64_t wait = schedule.microsecondsUntilDue(now);
        if (wait > 0) {
            now += wait;
            continue;
        }
        schedule.frameStarted(now);
        ++frames;
        now += swapMicroseconds;
    }
    return frames;
}

TEST(FrameSchedule, FramesPerSecondWhateverTheSwapDoes)
{
    struct RateCase {
        FrameRate frameRate;
        std::int64_t swapMicroseconds;
        int expectedFrames;
    };
    const RateCase rates[] = {
        {FrameRate::timer, 0, 200},      {FrameRate::display, 0, 200},     {FrameRate::display, 16667, 60},
        {FrameRate::display, 4000, 200}, {FrameRate::low, 0, 30},          {FrameRate::low, 16667, 30},
        {FrameRate::low, 40000, 25},
    };
    for (const RateCase& r : rates) {
        SCOPED_TRACE(testing::Message() << "FrameRate " << int(r.frameRate) << ", swap " << r.swapMicroseconds);
        EXPECT_EQ(framesInASecond(r.frameRate, r.swapMicroseconds), r.expectedFrames);
    }
}

TEST(FrameSchedule, OnlyTheLowRateReadsTheClock)
{
    EXPECT_TRUE(FrameSchedule(FrameRate::timer).followsTimer());
    EXPECT_TRUE(FrameSchedule(FrameRate::display).followsTimer());
    EXPECT_FALSE(FrameSchedule(FrameRate::low).followsTimer());
    EXPECT_EQ(FrameSchedule(FrameRate::timer).periodMicroseconds(), 5000);
    EXPECT_EQ(FrameSchedule(FrameRate::low).periodMicroseconds(), 33334);
}

}  // namespace
