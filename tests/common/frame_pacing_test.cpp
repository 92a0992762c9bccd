#include "host/frame_pacing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Frames drawn by ticks every periodMs from startMs for durationMs.
std::vector<std::uint64_t> drawnTimes(FramePacer pacer, std::uint64_t startMs, std::uint64_t periodMs,
                                      std::uint64_t durationMs)
{
    std::vector<std::uint64_t> drawn;
    for (std::uint64_t now = startMs; now < startMs + durationMs; now += periodMs) {
        if (pacer.frameDue(now))
            drawn.push_back(now);
    }
    return drawn;
}

TEST(FramePacer, UnlimitedRatesDrawEveryTick)
{
    for (FrameRate frameRate : {FrameRate::timer, FrameRate::display}) {
        SCOPED_TRACE(int(frameRate));
        EXPECT_FALSE(FramePacer(frameRate).limitsRate());
        EXPECT_EQ(drawnTimes(FramePacer(frameRate), 0, 5, 1000).size(), 200u);
    }
}

TEST(FramePacer, LimitedRateDrawsAtMostThirtyInAnySecond)
{
    struct Case {
        std::uint64_t periodMs;
        std::size_t lowest;  // frames in ten seconds
    };
    // Ticks as the 5 ms timer gives them, as a coarse system timer rounds
    // them, and slower than the limit.
    const Case cases[] = {{1, 300}, {5, 295}, {10, 290}, {16, 200}, {33, 150}, {50, 200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.periodMs);
        const std::vector<std::uint64_t> drawn = drawnTimes(FramePacer(FrameRate::low), 123456789, c.periodMs, 10000);
        EXPECT_LE(drawn.size(), 301u);
        EXPECT_GE(drawn.size(), c.lowest);
        // The grid holds the average to 30 a second; a window of one second
        // may catch one frame more where a late tick and an on-time one
        // fall at its ends.
        for (std::size_t i = 31; i < drawn.size(); ++i)
            EXPECT_GE(drawn[i] - drawn[i - 31], 1000u) << "32 frames within a second, ending at " << drawn[i];
    }
}

TEST(FramePacer, ALongPauseStartsANewGridWithoutABurst)
{
    FramePacer pacer(FrameRate::low);
    EXPECT_TRUE(pacer.limitsRate());
    EXPECT_TRUE(pacer.frameDue(1000));
    EXPECT_TRUE(pacer.frameDue(1034));
    // Two seconds without ticks: one frame, then the grid from there.
    EXPECT_TRUE(pacer.frameDue(3034));
    EXPECT_FALSE(pacer.frameDue(3039));
    EXPECT_FALSE(pacer.frameDue(3066));
    EXPECT_TRUE(pacer.frameDue(3068));
}

}  // namespace
