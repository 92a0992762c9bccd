// The program's exit statuses, alike for every display it runs on. A stop
// signal ends it by that signal instead (stop_signals.h).
#pragma once

// Ended by input, by the window's going or by its own window's close.
constexpr int exitEnded = 0;
// No display, no window, a lost connection, an X error: the message says
// which.
constexpr int exitFailed = 1;
constexpr int exitBadCommandLine = 2;
// The idle watcher (--idle-after) in a session that offers nothing telling
// idle: apart from exitFailed, so that a service restarts a watcher that
// lost its source but not one that will never find any.
constexpr int exitNoIdleSource = 3;
