// The compositor's own idle notification, for the idle watcher:
// ext-idle-notify-v1 where the compositor offers it (KWin), else KDE's older
// idle protocol, org_kde_kwin_idle (KWin, sway 1.7). Either is one object
// for the first seat, with the idle time in milliseconds: the compositor
// sends idle once the seat has had no input that long and resumed at the
// next input, and restarts the time then. While an application inhibits idle
// (idle-inhibit-unstable-v1 on a visible surface) the compositor sends
// nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/posix/idle_watcher.h"

enum class WaylandIdleOpening {
    opened,
    noDisplay,       // no Wayland display is named
    noIdleProtocol,  // connected, but the compositor offers neither protocol
    failed,          // the named compositor did not answer, or the notification could not be made
};

// Connects to the environment's Wayland display and asks for idle after
// milliseconds. Answers nullptr unless outcome is opened, with a one-line
// message in error.
std::unique_ptr<IdleSource> openWaylandIdleSource(std::uint32_t milliseconds, WaylandIdleOpening& outcome,
                                                  std::string& error);
