// The idle watcher mode of the program (--idle-after TIME): finds what
// tells idle in this session and watches with it (idle_watcher.h), starting
// this same program on Wayland as the saver.
//
// The sources, in order: the compositor's ext-idle-notify-v1, then KDE's
// older idle protocol (both through the Wayland connection), then Mutter's
// idle monitor on the session bus (GNOME offers no idle protocol to
// clients). An X11 session (no Wayland display, but DISPLAY) has the X11
// screen-saver daemon for this; the watcher says so and fails.
#pragma once

#include "host/posix/options.h"

// Answers the exit status: exitFailed with a message on stderr when no
// source can be had or it is lost. After a stop signal it ends the process
// by the signal once the saver has ended.
int runIdleWatcherMode(const HostOptions& options);
