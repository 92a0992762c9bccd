#include "host/x11/frame_pacer.h"

void FramePacer::frameStarted(std::int64_t now)
{
    // A late frame owes at most one frame: the next is due now.
    if (!running)
        due = now + period;
    else
        due = due + period < now ? now : due + period;
    running = true;
}

std::int64_t FramePacer::microsecondsUntilDue(std::int64_t now) const
{
    if (!running || due <= now)
        return 0;
    return due - now;
}
