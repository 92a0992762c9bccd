// The frame loop's policy, shared by every host: from the clock, whether the
// picture can be seen, whether the display is on and the FrameRate setting,
// what the host does next: draw a frame now, wait a number of microseconds,
// or wait until the system tells it something.
//
// A host differs only in what it hears without asking. One that is told when
// its window shows again (map events, frame callbacks) sleeps until then
// while it is hidden; one that must ask looks again every lookAgain period.
// Likewise for the display's power: told (a power broadcast) or asked (a
// query the host makes when it looks). While the picture cannot be seen no
// frame is drawn, and the first one once it shows again is due at once; the
// scene's own clock runs on, so the picture continues where it would be.
//
// A host whose timer cannot wait less than some shortest period (Windows
// raises any shorter timer to 10 ms) says so: a wait shorter than that is no
// wait, and the frame is drawn at once rather than a whole tick late.
//
// A host told when each frame it presented has been shown (Wayland's frame
// callbacks) knows no more than that: a picture counts as not seen until the
// word comes, and that wait is no pause (hidden and merely not yet shown look
// alike). Where the display refreshes at least as often as frames are due,
// the word comes by the time the next frame is due, and the host sleeps until
// then rather than waking for each word.
//
// Times are microseconds on a monotonic clock from any origin, 64-bit.
#pragma once

#include <cstdint>

#include "host/frame_schedule.h"
#include "settings/settings.h"

// What a host hears without asking, and the shortest wait of its timer.
struct HostPacingTraits {
    // Whether the host is told when a hidden picture shows again.
    bool toldWhenShown = false;
    // Whether the host is told when the display powers on.
    bool toldWhenDisplayOn = false;
    // The shortest wait the host's timer keeps; 0 for a poll with a timeout.
    std::int64_t shortestWaitMicroseconds = 0;
    // Whether the host is told when each frame it presented has been shown.
    bool toldEachFrameShown = false;
};

// What the picture's viewers can see now.
struct PictureState {
    bool canBeSeen = true;
    bool displayOn = true;
    // For a host told of each frame shown: the longest time between the
    // display's refreshes; 0 when the display did not say.
    std::int64_t refreshMicroseconds = 0;
};

struct FrameDecision {
    enum class Action { drawNow, waitFor, waitUntilTold };
    Action action = Action::drawNow;
    // waitFor: how long, more than 0.
    std::int64_t microseconds = 0;

    bool operator==(const FrameDecision& other) const
    {
        return action == other.action && microseconds == other.microseconds;
    }
};

class FramePacing {
public:
    explicit FramePacing(FrameRate frameRate = FrameRate::timer, HostPacingTraits traits = {});

    // What to do now. drawNow marks the frame as started: the host draws it
    // at once.
    FrameDecision next(std::int64_t now, PictureState picture);

    // How long until the next frame is due, for a host that arms a timer
    // after drawing; never more than a period.
    std::int64_t microsecondsUntilDue(std::int64_t now) const { return schedule.microsecondsUntilDue(now); }

    // Whether the designed timer alone paces the frames (every rate but
    // FrameRate::low): a host that has that timer keeps it running.
    bool followsTimer() const { return schedule.followsTimer(); }

    // Whether the picture was hidden or the display off at the last look:
    // a host that keeps its own timer uses this to know when to rearm it.
    bool resting() const { return restingNow; }

    // The designed window timer's period: a frame every 5 ms.
    static constexpr std::int64_t designedPeriodMicroseconds = FrameSchedule::timerPeriodMicroseconds;
    // While nothing can be seen and nothing will tell: two looks a second.
    static constexpr std::int64_t lookAgainMicroseconds = 500000;

    // Whether the host is told when the display powers on, where it learns
    // that only as it runs (the system's first notice shows it will be).
    void toldWhenDisplayOn(bool told) { host.toldWhenDisplayOn = told; }

private:
    FrameDecision awaitShown(std::int64_t now, std::int64_t refreshMicroseconds) const;

    HostPacingTraits host;
    FrameSchedule schedule;
    bool restingNow = false;
};
