// When the next frame is due, by the FrameRate setting. Portable, so that
// both hosts pace alike: the X11 host sleeps until the time it names, the
// Windows host sets its timer from it.
//
// Times are microseconds on a monotonic clock from any origin, 64-bit.
//
//   FrameRate::timer    every 5 ms, the designed window timer: each frame is
//                         due one period after the previous one was due
//   FrameRate::display  the same 5 ms floor: the buffer swap waits for the
//                         display, and where the driver does not wait the
//                         floor still holds the rate to 200 frames a second
//   FrameRate::low      on a grid of 1/30 s from the first frame
//
// A frame that starts more than a period late owes at most one frame: for
// the timer rates the next is due at once, on the grid it is due a step
// later; either way the schedule runs on from the late start, never with a
// burst of frames owed. A clock that steps back never makes a wait longer
// than one period.
#pragma once

#include <cstdint>

#include "settings/settings.h"

class FrameSchedule {
public:
    // Rates other than FrameRate::low pace as the timer does.
    explicit FrameSchedule(FrameRate frameRate = FrameRate::timer);

    // A frame starts at now.
    void frameStarted(std::int64_t now);

    // 0 when the next frame is due; never negative, never more than a
    // period. The first frame is due at once.
    std::int64_t microsecondsUntilDue(std::int64_t now) const;

    // The next frame is due at once and the schedule starts afresh from it:
    // after a pause (a window that could not be seen), no frames are owed.
    void restart() { running = false; }

    // Whether the designed 5 ms timer alone paces the frames: a host that
    // has that timer need not read the clock.
    bool followsTimer() const { return !onGrid; }

    // The longest wait: 5 ms, or 1/30 s rounded up to a microsecond.
    std::int64_t periodMicroseconds() const;

    static constexpr std::int64_t timerPeriodMicroseconds = 5000;
    static constexpr std::int64_t lowFramesPerSecond = 30;

private:
    bool onGrid;
    bool running = false;
    // The time the next frame is due, in the schedule's unit: microseconds
    // for the timer rates, 1/30 microseconds on the grid (so that a step is
    // a whole 1 000 000 of them and the grid does not drift).
    std::int64_t due = 0;
};
