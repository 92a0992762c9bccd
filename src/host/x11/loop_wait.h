// How the X11 frame loop sleeps between frames: on its display connection,
// until input arrives there, a stop signal comes or the time the frame-loop
// policy gave is up.
//
// Times are microseconds; a negative time means until woken.
#pragma once

#include <signal.h>

#include <cstdint>

#include "host/frame_pacing.h"

// How long to sleep on a decision to wait: not at all while the client
// already holds events (queuedEvents), read from the connection along with a
// reply; they would not wake a sleep on the connection.
std::int64_t sleepMicroseconds(const FrameDecision& decision, int queuedEvents);

// Sleeps on the connection's descriptor; waitMask lets the stop signals in.
void sleepOnConnection(int connection, std::int64_t microseconds, const sigset_t& waitMask);
