// The idle watcher mode of the program (--idle-after TIME): finds what
// tells idle in this session and watches with it (idle_watcher.h), starting
// this same program on Wayland as the saver.
//
// The sources, in order: the compositor's ext-idle-notify-v1, then KDE's
// older idle protocol (both through the Wayland connection), then Mutter's
// idle monitor on the session bus (GNOME offers no idle protocol to
// clients). An X11 session (no Wayland display named, but DISPLAY) has the
// X11 screen-saver daemon for this; the watcher says so and fails.
#pragma once

#include "host/posix/options.h"

// Answers the exit status, with a message on stderr: exitNoIdleSource when
// the session offers no source (no Wayland display named; a compositor with
// neither protocol and no idle monitor on the session bus), exitFailed when
// the named compositor does not answer or the source is lost. After a stop
// signal it ends the process by the signal once the saver has ended.
int runIdleWatcherMode(const HostOptions& options);
