// What happens on X errors; what each protocol error means is
// meaningOfXError's rule (x_error_meaning.h).
//
// The drawn window's disappearance is noted, not reported, and the program
// ends with status 0 as for the window's DestroyNotify. A window above it
// that vanished passes quietly: the structure events that follow tell the
// rest. Any other protocol error is reported on stderr and ends the program
// with status 1: the picture can no longer be trusted, and a program that
// went on would repeat the error at every frame. Once the window is gone,
// the errors that follow are its consequences and pass quietly.
//
// A lost connection ends the process at once with status 1 and a message,
// or by the stop signal when one came first: Xlib cannot go on after it, and
// neither the window nor the context can be released on a server that is
// gone.
#pragma once

#include <X11/Xlib.h>

#include "host/x11/x_error_meaning.h"

enum class XErrorEnding { none, windowGone, failed };

// Installs both handlers (process-wide in Xlib).
void installXErrorHandlers();

// The window whose disappearance ends the program.
void watchDrawnWindow(const DrawnWindow& drawn);

// A window above the drawn one, which may vanish while the program looks at
// it.
void watchAncestor(Window window);

// What the errors so far mean for the program.
XErrorEnding xErrorEnding();
