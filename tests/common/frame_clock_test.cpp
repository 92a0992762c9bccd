// The frame clock driven by a hand-set millisecond source.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "driver/elapsed_time.h"
#include "driver/frame_clock.h"

namespace {

std::uint64_t handClock = 0;

std::uint64_t readHandClock() { return handClock; }

class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        handClock = 5000;  // the source's own origin does not matter
        setMillisecondSource(readHandClock);
    }
    void TearDown() override { setMillisecondSource(nullptr); }
};

TEST_F(FrameClockTest, ConstructedAtZero)
{
    const FrameClock clock;
    EXPECT_EQ(clock.previousTime, 0.0);
    EXPECT_EQ(clock.currentTime, 0.0);
    EXPECT_EQ(clock.timeStep, 0.0);
    EXPECT_EQ(clock.elapsedMs, 0.0);
}

struct Tick {
    std::uint64_t sourceMs;  // what the source reads at this tick
    double elapsedMs;
};

TEST_F(FrameClockTest, TicksFollowTheMillisecondCount)
{
    const Tick ticks[] = {
        {5000, 0},    // the first query reads 0: the scene build's tick
        {5000, 0},    // the same millisecond: a step of exactly 0
        {5250, 250},  // the first frame, after the build
        {5255, 255},  // one timer period later
        {5255, 255},
        {5256, 256},
        {5256 + 86400000, 256 + 86400000},  // a day's gap: one big step
    };
    FrameClock clock;
    double previous = 0.0;
    for (const Tick& tick : ticks) {
        handClock = tick.sourceMs;
        clock.tick();
        EXPECT_EQ(clock.elapsedMs, tick.elapsedMs) << tick.sourceMs;
        EXPECT_EQ(clock.currentTime, tick.elapsedMs * 0.001) << tick.sourceMs;
        EXPECT_EQ(clock.previousTime, previous) << tick.sourceMs;
        EXPECT_EQ(clock.timeStep, tick.elapsedMs * 0.001 - previous) << tick.sourceMs;
        EXPECT_GE(clock.timeStep, 0.0) << tick.sourceMs;
        previous = clock.currentTime;
    }
    EXPECT_NEAR(clock.timeStep, 86400.0, 1e-9);
}

TEST_F(FrameClockTest, FirstTickIsZeroAndAStepWithinOneMillisecondIsZero)
{
    FrameClock clock;
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 0.0);
    EXPECT_EQ(clock.currentTime, 0.0);
    EXPECT_EQ(clock.timeStep, 0.0);
    handClock += 1234;
    clock.tick();
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 1234.0);
    EXPECT_EQ(clock.timeStep, 0.0);
    EXPECT_EQ(clock.previousTime, clock.currentTime);
}

TEST_F(FrameClockTest, CountDoesNotWrapAt32Bits)
{
    FrameClock clock;
    clock.tick();
    handClock += 0xFFFFFFF0u;
    clock.tick();
    handClock += 0x20u;  // past 2^32 milliseconds, about 50 days
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 4294967312.0);
    EXPECT_EQ(clock.timeStep, 4294967312.0 * 0.001 - 4294967280.0 * 0.001);
    EXPECT_GT(clock.timeStep, 0.0);
}

TEST_F(FrameClockTest, SourceSteppingBackHoldsTheCount)
{
    FrameClock clock;
    clock.tick();
    handClock = 5400;
    clock.tick();
    handClock = 5100;  // behind the last reading
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 400.0);
    EXPECT_EQ(clock.timeStep, 0.0);
    handClock = 4000;  // behind the origin
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 400.0);
    handClock = 5401;
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 401.0);
}

TEST_F(FrameClockTest, NewSourceOrResetStartsAgainAtZero)
{
    FrameClock clock;
    clock.tick();
    handClock += 700;
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 700.0);

    resetElapsedTime();
    handClock += 50;
    clock.tick();
    EXPECT_EQ(clock.elapsedMs, 0.0);
    EXPECT_EQ(clock.previousTime, 700 * 0.001);
    EXPECT_EQ(clock.timeStep, -(700 * 0.001)) << "the clock itself neither clamps nor guards";

    setMillisecondSource(readHandClock);
    EXPECT_EQ(elapsedMilliseconds(), 0u);
    handClock += 3;
    EXPECT_EQ(elapsedMilliseconds(), 3u);
}

TEST_F(FrameClockTest, SystemSourceStartsAtZeroAndRuns)
{
    setMillisecondSource(nullptr);
    EXPECT_EQ(elapsedMilliseconds(), 0u);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::uint64_t later = 0;
    while (later < 2 && std::chrono::steady_clock::now() < deadline)
        later = elapsedMilliseconds();
    EXPECT_GE(later, 2u) << "the count advances with real time";
    EXPECT_LT(later, 60000u) << "whole milliseconds since the first query, not since boot";
}

}  // namespace
