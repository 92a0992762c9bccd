#include "host/dismissal_rules.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct DriftCase {
    int anchorX, anchorY, x, y;
    std::uint32_t drift;
    bool closes;
};

const DriftCase driftCases[] = {
    {100, 100, 100, 100, 0, false},
    {100, 100, 103, 101, 4, false},  // 3 right, 1 down: exactly the threshold
    {100, 100, 103, 102, 5, true},   // 3 right, 2 down
    {100, 100, 96, 100, 4, false},
    {100, 100, 95, 100, 5, true},
    {100, 100, 98, 97, 5, true},
    {0, 0, -2, 2, 4, false},
    {-3, -3, 0, 0, 6, true},
    {INT_MIN, 0, INT_MAX, 0, 0xFFFFFFFFu, true},
    {INT_MAX, INT_MIN, INT_MAX, INT_MIN, 0, false},
};

TEST(CursorDrift, IsHorizontalPlusVerticalDistanceFromTheAnchor)
{
    for (const DriftCase& c : driftCases) {
        SCOPED_TRACE(::testing::Message() << "anchor (" << c.anchorX << ", " << c.anchorY
                                          << ") cursor (" << c.x << ", " << c.y << ")");
        const std::uint32_t drift = cursorDrift(c.anchorX, c.anchorY, c.x, c.y);
        EXPECT_EQ(drift, c.drift);
        EXPECT_EQ(driftCloses(drift, defaultMoveThreshold), c.closes);
    }
}

struct ThrottleCase {
    std::uint32_t lastCheckTick;
    std::uint32_t now;
    bool throttled;
};

const ThrottleCase throttleCases[] = {
    {noCheckYet, 0u, false},
    {noCheckYet, 100u, false},
    {1000u, 1000u, true},
    {1000u, 1199u, true},
    {1000u, 1200u, false},
    {1000u, 5000u, false},
    {0xFFFFFFF0u, 0x00000010u, true},   // 32 ms across the wrap
    {0xFFFFFF00u, 0x000000C8u, false},  // 456 ms across the wrap
};

TEST(PasswordCheckThrottle, AsksAtMostOnceIn200Milliseconds)
{
    for (const ThrottleCase& c : throttleCases) {
        SCOPED_TRACE(::testing::Message() << "last " << c.lastCheckTick << " now " << c.now);
        EXPECT_EQ(passwordCheckThrottled(c.lastCheckTick, c.now), c.throttled);
    }
}

}  // namespace
