// The program on a Wayland desktop: a full-screen surface on every output,
// drawn with desktop OpenGL through EGL, until input or a stop signal ends
// it. Outputs that come while it runs are covered; outputs that go lose their
// surface; a surface the compositor closes is made again while its output
// stays. With no output left the program ends.
#pragma once

#include "host/posix/options.h"

// Whether the Wayland compositor that WAYLAND_DISPLAY names answers
// (connects and disconnects at once), or a connection was handed over in
// WAYLAND_SOCKET (left untouched for the host).
bool waylandAnswers();

// Connects, covers the outputs, builds the scene, runs the frames and
// releases it all. Answers the exit status; after a stop signal (which wakes
// the loop's wait, stop_signals.h) the caller ends the process by it.
int runWaylandHost(const HostOptions& options);
