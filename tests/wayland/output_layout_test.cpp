#include "host/wayland/output_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "animation/view_set.h"

namespace {

// sway's two test outputs side by side: 1024x768 at the origin, 800x600 to
// its right, top edges aligned.
const ScreenRect wide = {0, 0, 1024, 768};
const ScreenRect small = {1024, 0, 1824, 600};

TEST(OutputLayout, BoundsHoldEveryOutputWithAnArea)
{
    const struct {
        std::vector<ScreenRect> outputs;
        ScreenRect bounds;
    } cases[] = {
        {{}, {0, 0, 0, 0}},
        {{wide}, wide},
        {{wide, small}, {0, 0, 1824, 768}},
        {{small, wide}, {0, 0, 1824, 768}},
        // Left of and above the origin, stacked.
        {{{-800, -600, 0, 0}, wide}, {-800, -600, 1024, 768}},
        // An output without an area (not yet described) is left out.
        {{{5000, 5000, 5000, 6000}, wide}, wide},
        // Mirrored outputs are one rectangle.
        {{wide, wide}, wide},
    };
    for (const auto& c : cases) {
        const ScreenRect bounds = outputBounds(c.outputs.data(), int(c.outputs.size()));
        EXPECT_EQ(bounds.left, c.bounds.left);
        EXPECT_EQ(bounds.top, c.bounds.top);
        EXPECT_EQ(bounds.right, c.bounds.right);
        EXPECT_EQ(bounds.bottom, c.bounds.bottom);
    }
}

TEST(OutputLayout, EachOutputIsItsOwnWindowOrAPartOfTheSpan)
{
    const ScreenRect both = {0, 0, 1824, 768};
    const ScreenRect stacked = {0, -600, 1024, 768};
    const struct {
        Monitors monitors;
        ScreenRect output;
        ScreenRect bounds;
        int scale;
        SurfacePart part;
    } cases[] = {
        {Monitors::each, wide, both, 1, {1024, 768, 0, 0, 1}},
        {Monitors::each, small, both, 1, {800, 600, 0, 0, 1}},
        {Monitors::each, small, both, 2, {800, 600, 0, 0, 2}},
        // Span: one window over both; the shorter output, top-aligned, shows
        // the window's upper 600 rows (its bottom edge 168 rows up).
        {Monitors::span, wide, both, 1, {1824, 768, 0, 0, 1}},
        {Monitors::span, small, both, 1, {1824, 768, 1024, 168, 1}},
        {Monitors::span, small, both, 2, {1824, 768, 1024, 168, 2}},
        // Stacked: the upper output shows the window's top.
        {Monitors::span, {0, -600, 800, 0}, stacked, 1, {1024, 1368, 0, 768, 1}},
        {Monitors::span, wide, stacked, 1, {1024, 1368, 0, 0, 1}},
        // A scale below 1 is 1, one above what the views draw at is theirs;
        // an output without an area is one pixel.
        {Monitors::each, wide, both, 0, {1024, 768, 0, 0, 1}},
        {Monitors::span, small, both, 20, {1824, 768, 1024, 168, 16}},
        {Monitors::span, {10, 10, 10, 10}, both, 1, {1, 1, 0, 0, 1}},
        // Far-apart corners stay within int.
        {Monitors::span, {INT_MAX - 10, 0, INT_MAX, 10}, {INT_MIN, 0, INT_MAX, 10}, 1, {INT_MAX, 10, INT_MAX, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.monitors == Monitors::span ? "span " : "each ") << c.output.left << ","
                                        << c.output.top << " x" << c.scale);
        const SurfacePart part = surfacePart(c.monitors, c.output, c.bounds, c.scale);
        EXPECT_EQ(part.windowWidth, c.part.windowWidth);
        EXPECT_EQ(part.windowHeight, c.part.windowHeight);
        EXPECT_EQ(part.partLeft, c.part.partLeft);
        EXPECT_EQ(part.partBottom, c.part.partBottom);
        EXPECT_EQ(part.scale, c.part.scale);
    }
}

TEST(OutputLayout, AnOutputsPlaceStopsAtIntsEnds)
{
    const struct {
        int x, y, width, height;
        ScreenRect place;
    } cases[] = {
        {1024, 0, 800, 600, small},
        {-800, -600, 800, 600, {-800, -600, 0, 0}},
        // Sizes not yet sent, or nonsense, make no area.
        {10, 20, 0, -5, {10, 20, 10, 15}},
        // A compositor's numbers whose sum int cannot hold.
        {INT_MAX - 10, INT_MIN + 10, 100, -100, {INT_MAX - 10, INT_MIN + 10, INT_MAX, INT_MIN}},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, {INT_MAX, INT_MAX, INT_MAX, INT_MAX}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        const ScreenRect place = outputPlace(c.x, c.y, c.width, c.height);
        EXPECT_EQ(place.left, c.place.left);
        EXPECT_EQ(place.top, c.place.top);
        EXPECT_EQ(place.right, c.place.right);
        EXPECT_EQ(place.bottom, c.place.bottom);
    }
}

// Without xdg-output the place comes from wl_output: its mode over its
// scale, turned on its side by a quarter-turn transform (90, 270 and their
// flipped forms: wl_output's 1, 3, 5, 7).
TEST(OutputLayout, AModesPlaceIsTurnedWithTheOutput)
{
    const struct {
        int scale, transform;
        ScreenRect place;
    } cases[] = {
        {1, 0, {100, 0, 1124, 768}},  {1, 1, {100, 0, 868, 1024}}, {1, 2, {100, 0, 1124, 768}},
        {1, 3, {100, 0, 868, 1024}},  {1, 4, {100, 0, 1124, 768}}, {1, 5, {100, 0, 868, 1024}},
        {1, 7, {100, 0, 868, 1024}},  {2, 1, {100, 0, 484, 512}},
        // A scale the compositor should not send divides by one.
        {0, 0, {100, 0, 1124, 768}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << ", transform " << c.transform);
        const ScreenRect place = modePlace(100, 0, 1024, 768, c.scale, c.transform);
        EXPECT_EQ(place.left, c.place.left);
        EXPECT_EQ(place.top, c.place.top);
        EXPECT_EQ(place.right, c.place.right);
        EXPECT_EQ(place.bottom, c.place.bottom);
    }
}

// wl_output of version 1 sends no done: its current mode describes it.
TEST(OutputLayout, AnOutputIsDescribedByDoneOrForVersionOneByItsMode)
{
    const struct {
        unsigned version;
        bool doneSeen, modeSeen, logicalSizeAwaited, described;
    } cases[] = {
        {1, false, false, false, false}, {1, false, true, false, true},  {1, false, true, true, false},
        {2, false, true, false, false},  {2, true, true, false, true},   {3, true, true, true, false},
        {4, true, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << ", done " << c.doneSeen << ", mode "
                                        << c.modeSeen << ", xdg-output awaited " << c.logicalSizeAwaited);
        EXPECT_EQ(outputDescribed(c.version, c.doneSeen, c.modeSeen, c.logicalSizeAwaited), c.described);
    }
}

TEST(OutputLayout, ASurfacesSideIsTheConfiguredOneOrItsOutputsAndFitsAtEveryScale)
{
    const int largest = INT_MAX / ViewSet::maxPartScale;
    const struct {
        int configured, from, to, side;
    } cases[] = {
        {1024, 0, 800, 1024},
        {0, 1024, 1824, 800},
        {-1, 1024, 1824, 800},
        // No side from either yet.
        {0, 10, 10, 0},
        {0, 10, 5, 0},
        // Sides whose drawable would pass int at the largest scale.
        {INT_MAX, 0, 0, largest},
        {0, INT_MIN, INT_MAX, largest},
        {largest, 0, 0, largest},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.configured << " " << c.from << ".." << c.to);
        const int side = surfaceSide(c.configured, c.from, c.to);
        EXPECT_EQ(side, c.side);
        EXPECT_LE(std::int64_t(side) * ViewSet::maxPartScale, INT_MAX);
    }
}

}  // namespace
