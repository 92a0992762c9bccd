#include "host/frame_pacing.h"

namespace {

FrameDecision waitFor(std::int64_t microseconds) { return {FrameDecision::Action::waitFor, microseconds}; }

FrameDecision waitUntilTold() { return {FrameDecision::Action::waitUntilTold, 0}; }

}  // namespace

FramePacing::FramePacing(FrameRate frameRate, HostNews hostNews)
    : rate(frameRate), news(hostNews), schedule(frameRate)
{
}

FrameDecision FramePacing::next(std::int64_t now, PictureState picture)
{
    if (!picture.displayOn || !picture.canBeSeen) {
        // No frames are owed for the time nobody could see them.
        schedule.restart();
        restingNow = true;
        const bool told = picture.displayOn ? news.toldWhenShown : news.toldWhenDisplayOn;
        return told ? waitUntilTold() : waitFor(lookAgainMicroseconds);
    }
    restingNow = false;
    const std::int64_t wait = schedule.microsecondsUntilDue(now);
    if (wait > 0 && wait >= news.shortestWaitMicroseconds)
        return waitFor(wait);
    schedule.frameStarted(now);
    return {};
}
