#include "host/windows/timer_pacing.h"

namespace {

// The window must look to see whether it can be seen (no message tells a
// preview pane that its dialog was minimised), and whether the display is
// on until a power broadcast has shown that one will say so. A wait the
// timer cannot keep is no wait.
constexpr HostPacingTraits windowsTraits{false, false, std::int64_t{TimerPacing::shortestPeriodMs} * 1000};

// A timer period covering the wait, in whole milliseconds: no shorter than
// the timer keeps.
unsigned periodFor(std::int64_t waitMicroseconds)
{
    const std::int64_t milliseconds = (waitMicroseconds + 999) / 1000;
    return milliseconds < TimerPacing::shortestPeriodMs ? TimerPacing::shortestPeriodMs : unsigned(milliseconds);
}

}  // namespace

TimerPacing::TimerPacing(FrameRate frameRate) : pacing(frameRate, windowsTraits), period(designedPeriodMs) {}

bool TimerPacing::tick(std::int64_t now, PictureState picture)
{
    const FrameDecision decision = pacing.next(now, picture);
    switch (decision.action) {
    case FrameDecision::Action::drawNow:
        // Back from a rest, the timer rates keep their designed timer; at
        // FrameRate 2 the frame re-arms it.
        if (pacing.followsTimer())
            period = designedPeriodMs;
        return true;
    case FrameDecision::Action::waitFor:
        period = periodFor(decision.microseconds);
        return false;
    case FrameDecision::Action::waitUntilTold:
        period = noTimer;
        return false;
    }
    return false;
}

void TimerPacing::frameDrawn(std::int64_t now)
{
    if (!pacing.followsTimer())
        period = periodFor(pacing.microsecondsUntilDue(now));
}
