#include "host/frame_schedule.h"

namespace {

// One grid step in the grid's unit of 1/30 microsecond.
constexpr std::int64_t gridStep = 1000000;

}  // namespace

FrameSchedule::FrameSchedule(FrameRate frameRate) : onGrid(frameRate == FrameRate::low) {}

std::int64_t FrameSchedule::periodMicroseconds() const
{
    return onGrid ? (gridStep + lowFramesPerSecond - 1) / lowFramesPerSecond : timerPeriodMicroseconds;
}

void FrameSchedule::frameStarted(std::int64_t now)
{
    const std::int64_t scale = onGrid ? lowFramesPerSecond : 1;
    const std::int64_t step = onGrid ? gridStep : timerPeriodMicroseconds;
    const std::int64_t start = now * scale;
    if (!running || due - start > step) {
        // The first frame, or a clock that stepped back: a period from now.
        due = start + step;
    } else if (due + step >= start) {
        due += step;
    } else {
        // More than a period late: one frame owed, the schedule runs on from
        // here.
        due = onGrid ? start + step : start;
    }
    running = true;
}

std::int64_t FrameSchedule::microsecondsUntilDue(std::int64_t now) const
{
    if (!running)
        return 0;
    const std::int64_t scale = onGrid ? lowFramesPerSecond : 1;
    const std::int64_t ahead = due - now * scale;
    if (ahead <= 0)
        return 0;
    const std::int64_t wait = (ahead + scale - 1) / scale;
    return wait < periodMicroseconds() ? wait : periodMicroseconds();
}
