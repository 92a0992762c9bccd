// What happens on X errors. A protocol error about the window we draw in
// means that window is gone (its owner destroyed it between two of our
// requests): it is noted, not fatal, and the program ends as for its
// DestroyNotify. Other protocol errors are reported on stderr and the program
// goes on. A lost connection ends the process at once with status 1 and a
// message: Xlib cannot go on after it, and neither the window nor the
// context can be released on a server that is gone.
#pragma once

#include <X11/Xlib.h>

// Installs both handlers (process-wide in Xlib).
void installXErrorHandlers();

// The window whose errors mean it is gone.
void watchWindow(Window window);

// True once a protocol error named the watched window.
bool watchedWindowLost();
