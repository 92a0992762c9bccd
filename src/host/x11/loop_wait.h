// How the X11 frame loop sleeps between frames: on its display connection,
// until input arrives there, a stop signal comes or the time the frame-loop
// policy gave is up.
//
// Times are microseconds; a negative time means until woken.
#pragma once

#include <cstdint>

#include "host/frame_pacing.h"

// How long to sleep on a decision to wait: not at all while the client
// already holds events (queuedEvents), read from the connection along with a
// reply; they would not wake a sleep on the connection.
std::int64_t sleepMicroseconds(const FrameDecision& decision, int queuedEvents);

// Sleeps until the connection has input, the stop signals' wake descriptor
// is readable, or the time is up.
void sleepOnConnection(int connection, int stopWake, std::int64_t microseconds);
