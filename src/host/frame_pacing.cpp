#include "host/frame_pacing.h"

namespace {

// One frame step in the grid's unit of 1/30 ms.
constexpr std::uint64_t frameStep = 1000;

}  // namespace

bool FramePacer::frameDue(std::uint64_t nowMs)
{
    if (!limited)
        return true;
    const std::uint64_t now = nowMs * limitedFramesPerSecond;
    if (!started) {
        started = true;
        nextDue = now + frameStep;
        return true;
    }
    if (now < nextDue)
        return false;
    nextDue = now - nextDue >= frameStep ? now + frameStep : nextDue + frameStep;
    return true;
}
