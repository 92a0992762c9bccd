#include "host/frame_pacing.h"

namespace {

FrameDecision waitFor(std::int64_t microseconds) { return {FrameDecision::Action::waitFor, microseconds}; }

FrameDecision waitUntilTold() { return {FrameDecision::Action::waitUntilTold, 0}; }

}  // namespace

FramePacing::FramePacing(FrameRate frameRate, HostPacingTraits traits) : host(traits), schedule(frameRate) {}

FrameDecision FramePacing::next(std::int64_t now, PictureState picture)
{
    if (!picture.canBeSeen && host.toldEachFrameShown)
        return awaitShown(now, picture.refreshMicroseconds);
    if (!picture.displayOn || !picture.canBeSeen) {
        // No frames are owed for the time nobody could see them.
        schedule.restart();
        restingNow = true;
        const bool told = picture.displayOn ? host.toldWhenShown : host.toldWhenDisplayOn;
        return told ? waitUntilTold() : waitFor(lookAgainMicroseconds);
    }
    restingNow = false;
    const std::int64_t wait = schedule.microsecondsUntilDue(now);
    if (wait > 0 && wait >= host.shortestWaitMicroseconds)
        return waitFor(wait);
    schedule.frameStarted(now);
    return {};
}

FrameDecision FramePacing::awaitShown(std::int64_t now, std::int64_t refreshMicroseconds) const
{
    // The schedule runs on: restarting it here would make every frame due
    // the moment the previous one was shown, whatever the rate.
    const std::int64_t due = schedule.microsecondsUntilDue(now);
    if (refreshMicroseconds > 0 && due >= refreshMicroseconds)
        return waitFor(due);
    return waitUntilTold();
}
