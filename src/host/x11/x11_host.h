// The program on an X display: its window (its own, the root or a given
// one), drawn through GLX until input, the window's going or a stop signal
// ends it.
#pragma once

#include <signal.h>

#include "host/posix/options.h"

// Opens the window, builds the scene, runs the frames and releases it all.
// waitMask is the signal mask that lets the stop signals through while the
// loop waits. Answers the exit status; after a stop signal the caller ends
// the process by it.
int runX11Host(const HostOptions& options, const sigset_t& waitMask);
