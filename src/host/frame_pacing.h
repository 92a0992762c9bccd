// Which timer ticks draw a frame, by the FrameRate setting: every tick (timer,
// and display, where the display's refresh paces the buffer swaps), or at
// most 30 frames a second (low). Portable, so that every host paces alike.
//
// Times are whole milliseconds from any steady origin, 64-bit.
#pragma once

#include <cstdint>

#include "settings/settings.h"

class FramePacer {
public:
    // All but FrameRate::low draw every tick.
    explicit FramePacer(FrameRate frameRate = FrameRate::timer) : limited(frameRate == FrameRate::low) {}

    // Whether the tick at nowMs draws. When limited, the frames keep to a grid
    // of 1/30 s from the first one: a tick draws once the next grid point has
    // come, so however the ticks fall the frames average at most 30 a second
    // (a one-second window may catch 31 where a late tick and an early one
    // fall at its ends). A host that fell more than a grid step behind starts
    // a new grid rather than drawing the missed frames back to back.
    bool frameDue(std::uint64_t nowMs);

    // Whether some ticks may not draw: a host that draws every tick need
    // not read the time.
    bool limitsRate() const { return limited; }

    // 30 frames a second.
    static constexpr std::uint64_t limitedFramesPerSecond = 30;

private:
    bool limited;
    bool started = false;
    // The next grid point, in 1/30 ms (1000 of them make a frame step).
    std::uint64_t nextDue = 0;
};
