#include "host/x11/loop_wait.h"

#include <poll.h>
#include <time.h>

#include "host/posix/monotonic_clock.h"

std::int64_t sleepMicroseconds(const FrameDecision& decision, int queuedEvents)
{
    if (queuedEvents > 0)
        return 0;
    switch (decision.action) {
    case FrameDecision::Action::waitFor:
        return decision.microseconds;
    case FrameDecision::Action::waitUntilTold:
        return -1;
    case FrameDecision::Action::drawNow:
        break;
    }
    return 0;
}

void sleepOnConnection(int connection, int stopWake, std::int64_t microseconds)
{
    pollfd inputs[] = {{connection, POLLIN, 0}, {stopWake, POLLIN, 0}};
    const timespec timeout = timespecOfMicroseconds(microseconds);
    ppoll(inputs, 2, microseconds < 0 ? nullptr : &timeout, nullptr);
}
