// How the X11 frame loop sleeps between frames: on its display connection,
// until input arrives there, a stop signal comes or the time the frame-loop
// policy gave is up.
//
// Times are microseconds; a negative time means until woken.
#pragma once

#include <signal.h>

#include <cstdint>

#include "host/frame_pacing.h"

// How long to sleep on a decision to wait. queuedEvents is the number of
// events the client already holds, read from the connection by earlier calls.
std::int64_t sleepMicroseconds(const FrameDecision& decision, int queuedEvents);

// Sleeps on the connection's descriptor; waitMask lets the stop signals in.
void sleepOnConnection(int connection, std::int64_t microseconds, const sigset_t& waitMask);
