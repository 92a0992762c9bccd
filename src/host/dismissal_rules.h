// The arithmetic of the saver's dismissal rules, apart from the window
// procedure so that it can be checked on its own.
//
// Cursor positions are screen pixels; ticks are the system's 32-bit
// millisecond count, which wraps after about 49.7 days.
#pragma once

#include <cstdint>

// Largest tolerated mouse drift from the anchor, in pixels: a drift of exactly
// this much keeps the saver.
constexpr std::uint32_t defaultMoveThreshold = 4;

// A password check is asked at most once in this many milliseconds.
constexpr std::uint32_t passwordCheckThrottleMs = 200;

// lastCheckTick before the first password check.
constexpr std::uint32_t noCheckYet = 0xFFFFFFFFu;

// |x - anchorX| + |y - anchorY|, in unsigned 32-bit arithmetic so that no
// coordinates can overflow.
std::uint32_t cursorDrift(int anchorX, int anchorY, int x, int y);

// True when the mouse has moved far enough to close the saver.
bool driftCloses(std::uint32_t drift, std::uint32_t moveThreshold);

// True when a check ended less than the throttle ago. The difference is taken
// modulo 2^32, so a tick count that wrapped in between is harmless.
bool passwordCheckThrottled(std::uint32_t lastCheckTick, std::uint32_t now);
