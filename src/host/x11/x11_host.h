// The program on an X display: its window (its own, the root or a given
// one), drawn through GLX until input, the window's going or a stop signal
// ends it.
#pragma once

#include "host/posix/options.h"

// Opens the window, builds the scene, runs the frames and releases it all.
// Answers the exit status; after a stop signal the caller ends the process
// by it (stop_signals.h, which must be taken before).
int runX11Host(const HostOptions& options);
