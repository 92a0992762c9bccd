// The program's exit statuses, alike for every display it runs on. A stop
// signal ends it by that signal instead (stop_signals.h).
#pragma once

// Ended by input, by the window's going or by its own window's close.
constexpr int exitEnded = 0;
// No display, no window, a lost connection, an X error: the message says
// which.
constexpr int exitFailed = 1;
constexpr int exitBadCommandLine = 2;
