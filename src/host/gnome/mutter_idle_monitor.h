// GNOME's idle monitor, for the idle watcher where the compositor offers no
// idle protocol to clients: Mutter answers on the session bus as
// org.gnome.Mutter.IdleMonitor, object /org/gnome/Mutter/IdleMonitor/Core.
// One idle watch (AddIdleWatch, the interval in milliseconds) fires
// WatchFired with its id each time the user has been idle that long; Mutter
// arms it again at the next input and drops it when the watcher leaves the
// bus. While the session inhibits idle (its session manager's inhibitors, as
// Mutter applies them) the watch does not fire.
//
// The monitor is lost when its name leaves the bus (Mutter ended) or the
// bus itself goes away.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/posix/idle_watcher.h"

// Connects to the session bus and adds the idle watch. Answers nullptr with
// a one-line message in error when there is no session bus, no idle monitor
// on it, or it refuses the watch.
std::unique_ptr<IdleSource> openMutterIdleMonitor(std::uint32_t milliseconds, std::string& error);
