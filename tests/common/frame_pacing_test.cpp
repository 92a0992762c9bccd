#include "host/frame_pacing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Action = FrameDecision::Action;

const FrameDecision drawNow{Action::drawNow, 0};
const FrameDecision untilTold{Action::waitUntilTold, 0};
FrameDecision waitFor(std::int64_t microseconds) { return {Action::waitFor, microseconds}; }

const PictureState seen{true, true};
const PictureState hidden{false, true};
const PictureState displayOff{true, false};
// Wayland: a frame presented, its frame callback not yet come, on a 60 Hz
// display or one that did not say its rate.
const PictureState unshown60Hz{false, true, 16667};
const PictureState unshownRateUnknown{false, true, 0};

// The hosts as they are: X11 hears map events but must ask the display's
// power; Windows must look at its window but hears the power broadcast, and
// its timer waits at least 10 ms; Wayland hears of each frame shown.
const HostPacingTraits x11{true, false, 0};
const HostPacingTraits windows{false, true, 10000};
const HostPacingTraits wayland{true, true, 0, true};

struct Look {
    std::int64_t now;
    PictureState picture;
    FrameDecision expected;
};

struct Case {
    const char* name;
    FrameRate frameRate;
    HostPacingTraits traits;
    std::vector<Look> looks;
};

const Case cases[] = {
    {"the first frame is drawn at once, the next 5 ms on",
     FrameRate::timer, x11, {{1000, seen, drawNow}, {1000, seen, waitFor(5000)}, {6000, seen, drawNow}}},
    {"a hidden window that hears when it shows waits to be told",
     FrameRate::timer, x11, {{0, seen, drawNow}, {1000, hidden, untilTold}}},
    {"a hidden window that must look looks twice a second",
     FrameRate::timer, windows, {{0, seen, drawNow}, {1000, hidden, waitFor(500000)}}},
    {"the display off, asked: look again in half a second",
     FrameRate::timer, x11, {{0, displayOff, waitFor(500000)}}},
    {"the display off, told: no timer until it is on",
     FrameRate::timer, windows, {{0, displayOff, untilTold}}},
    {"hidden and display off, the power asked: look again",
     FrameRate::timer, x11, {{0, {false, false}, waitFor(500000)}}},
    {"shown again: the first frame is due at once, nothing owed",
     FrameRate::timer, x11, {{0, seen, drawNow}, {1000, hidden, untilTold}, {900000, seen, drawNow},
                             {901000, seen, waitFor(4000)}}},
    {"display on again: drawn at once",
     FrameRate::low, windows, {{0, seen, drawNow}, {5000, displayOff, untilTold}, {7000, seen, drawNow}}},
    {"low rate: a frame every thirtieth of a second",
     FrameRate::low, x11, {{0, seen, drawNow}, {1000, seen, waitFor(32334)}, {33334, seen, drawNow}}},
    {"low rate on Windows: a wait under the shortest timer is drawn now",
     FrameRate::low, windows, {{0, seen, drawNow}, {25000, seen, drawNow}}},
    {"low rate on Windows: a wait of the shortest timer or more is kept",
     FrameRate::low, windows, {{0, seen, drawNow}, {23334, seen, waitFor(10000)}}},
    {"low rate on Windows: an early frame keeps the grid",
     FrameRate::low, windows, {{0, seen, drawNow}, {25000, seen, drawNow}, {50000, seen, waitFor(16667)}}},
    {"Wayland, low rate on 60 Hz: sleeps until the next frame is due, its callback come by then",
     FrameRate::low, wayland, {{0, seen, drawNow}, {1000, unshown60Hz, waitFor(32334)},
                               {16667, seen, waitFor(16667)}, {33334, seen, drawNow}}},
    {"Wayland, 5 ms on 60 Hz: waits for the callback, then draws at once",
     FrameRate::display, wayland, {{0, seen, drawNow}, {1000, unshown60Hz, untilTold},
                                   {16667, seen, drawNow}}},
    {"Wayland, the refresh unknown: waits for the callback",
     FrameRate::low, wayland, {{0, seen, drawNow}, {1000, unshownRateUnknown, untilTold}}},
    {"Wayland: a callback long in coming owes no burst and keeps the grid",
     FrameRate::low, wayland, {{0, seen, drawNow}, {1000, unshownRateUnknown, untilTold},
                               {900000, seen, drawNow}, {901000, seen, waitFor(32334)}}},
};

TEST(FramePacing, DecidesAsTheTableSays)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FramePacing pacing(c.frameRate, c.traits);
        for (std::size_t i = 0; i < c.looks.size(); ++i) {
            SCOPED_TRACE(i);
            const FrameDecision decision = pacing.next(c.looks[i].now, c.looks[i].picture);
            EXPECT_EQ(int(decision.action), int(c.looks[i].expected.action));
            EXPECT_EQ(decision.microseconds, c.looks[i].expected.microseconds);
        }
    }
}

TEST(FramePacing, RestsOnlyWhileNothingCanBeSeen)
{
    FramePacing pacing(FrameRate::timer, windows);
    pacing.next(0, seen);
    EXPECT_FALSE(pacing.resting());
    pacing.next(1000, hidden);
    EXPECT_TRUE(pacing.resting());
    pacing.next(2000, seen);
    EXPECT_FALSE(pacing.resting());
}

// A host that learns as it runs that it will be told when the display is
// on: until then it looks again, from then on it waits to be told.
TEST(FramePacing, TheDisplayIsAskedAfterUntilTheHostLearnsItIsTold)
{
    FramePacing pacing(FrameRate::timer, {false, false, 10000});
    EXPECT_EQ(pacing.next(0, displayOff), waitFor(500000));
    pacing.toldWhenDisplayOn(true);
    EXPECT_EQ(pacing.next(1000, displayOff), untilTold);
    EXPECT_EQ(pacing.next(2000, seen), drawNow);
}

// Two hundred frames a second at most, at the designed period, however often
// the host looks.
TEST(FramePacing, LookingOftenDrawsNoMoreThanThePeriodAllows)
{
    FramePacing pacing(FrameRate::timer, x11);
    int frames = 0;
    for (std::int64_t now = 0; now < 1000000; now += 250) {
        if (pacing.next(now, seen).action == Action::drawNow)
            ++frames;
    }
    EXPECT_EQ(frames, 200);
}

}  // namespace
