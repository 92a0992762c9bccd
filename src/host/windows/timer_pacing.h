// The saver window's frame loop told in periods of a window timer: the
// shared policy (host/frame_pacing.h) as the Windows host keeps it, with no
// Windows call, so that it is tested on a fake clock.
//
// The timer starts at the designed 5 ms. FrameRate 0 and 1 keep it and draw
// on every tick; FrameRate 2 re-arms it after each frame for the time until
// the next is due on the 1/30 s grid. While the picture cannot be seen the
// timer only looks again twice a second. With the display off there is no
// timer until the system says it is on, where it has shown that it will
// (Windows before Vista never says, and some systems after it do not);
// elsewhere the timer looks again twice a second too.
//
// Windows raises any timer period under 10 ms to 10 ms (and its usual tick is
// 15.6 ms), so the designed 5 ms gives at most 100 frames a second, about 64
// on most systems: the designed period is still asked for. Any other wait
// shorter than 10 ms is not asked for: a tick that finds the next frame due
// in less draws it at once, rather than a whole 10 ms late, and after a late
// frame the timer is asked for 10 ms, which is what it would give.
//
// Times are microseconds on a monotonic clock; periods whole milliseconds.
#pragma once

#include <cstdint>

#include "host/frame_pacing.h"

class TimerPacing {
public:
    explicit TimerPacing(FrameRate frameRate = FrameRate::timer);

    // A tick at now: whether it draws a frame. The caller then draws and
    // calls frameDrawn.
    bool tick(std::int64_t now, PictureState picture);

    // A frame that started at the last tick ended at now.
    void frameDrawn(std::int64_t now);

    // The period the timer runs with from now on; noTimer for none.
    unsigned periodMs() const { return period; }

    // Whether frameDrawn needs the time: only FrameRate 2 re-arms after a
    // frame.
    bool readsClockAfterFrame() const { return !pacing.followsTimer(); }

    // Whether the picture was hidden or the display off at the last tick.
    bool resting() const { return pacing.resting(); }

    // The system has shown that it says when the display is on: from the
    // next tick a display that is off has no timer.
    void displayNoticesHeard() { pacing.toldWhenDisplayOn(true); }

    // The timer's period as designed: a frame every 5 ms.
    static constexpr unsigned designedPeriodMs = unsigned(FramePacing::designedPeriodMicroseconds / 1000);
    static_assert(FramePacing::designedPeriodMicroseconds % 1000 == 0, "the designed period is whole milliseconds");
    // Windows' shortest timer period (USER_TIMER_MINIMUM).
    static constexpr unsigned shortestPeriodMs = 10;
    // The period that stands for no timer at all.
    static constexpr unsigned noTimer = 0;

private:
    FramePacing pacing;
    unsigned period;
};
