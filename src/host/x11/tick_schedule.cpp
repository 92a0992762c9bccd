#include "host/x11/tick_schedule.h"

void TickSchedule::tickStarted(std::int64_t now)
{
    // A late tick owes at most one tick: the next is due now.
    if (!running)
        due = now + period;
    else
        due = due + period < now ? now : due + period;
    running = true;
}

std::int64_t TickSchedule::microsecondsUntilDue(std::int64_t now) const
{
    if (!running || due <= now)
        return 0;
    return due - now;
}
