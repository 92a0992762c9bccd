// How long the X11 frame loop sleeps: as long as the frame-loop policy
// allows, but not at all while events wait in the client's queue. A reply
// that Xlib reads (the display-power query's, for one) brings along the
// events that came before it; they no longer wake a poll on the connection,
// so a sleep would keep them waiting as long as it lasts.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/x11/loop_wait.h"

namespace {

using Action = FrameDecision::Action;

struct Case {
    const char* name;
    FrameDecision decision;
    int queuedEvents;
    std::int64_t expected;
};

const Case cases[] = {
    {"until the next frame", {Action::waitFor, 4000}, 0, 4000},
    {"look again in half a second", {Action::waitFor, 500000}, 0, 500000},
    {"until told", {Action::waitUntilTold, 0}, 0, -1},
    {"an event queued, a frame due soon", {Action::waitFor, 4000}, 1, 0},
    {"an event queued while nothing can be seen", {Action::waitFor, 500000}, 1, 0},
    {"events queued while waiting until told", {Action::waitUntilTold, 0}, 3, 0},
};

TEST(LoopWait, SleepsAsThePolicySaysButNotWithEventsQueued)
{
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(sleepMicroseconds(each.decision, each.queuedEvents), each.expected);
    }
}

}  // namespace
