#include "program/idle_mode.h"

#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/gnome/mutter_idle_monitor.h"
#include "host/posix/exit_status.h"
#include "settings/idle_time.h"
#include "host/posix/idle_watcher.h"
#include "host/posix/saver_command.h"
#include "host/posix/stop_signals.h"
#include "host/wayland/idle_notification.h"

namespace {

// The program's own path, so that the saver runs as "flowball" (started
// through /proc/self/exe, it would be named "exe").
std::string ownProgram()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "/proc/self/exe";
    return std::string(path, std::size_t(length));
}

// No Wayland display named: an X11 session's message, or the connection's
// own. A named display that does not answer is a Wayland failure whatever
// DISPLAY says, since Xwayland sets it in every Wayland session.
void reportNoWayland(const std::string& waylandError)
{
    const char* x11Display = std::getenv("DISPLAY");
    if (x11Display != nullptr && x11Display[0] != '\0') {
        std::fprintf(stderr,
                     "flowball: --idle-after watches for idle on Wayland desktops, and this session is X11 "
                     "(DISPLAY=%s, no Wayland display); there the X11 screen-saver daemon (xscreensaver) "
                     "starts flowball when idle\n",
                     x11Display);
        return;
    }
    std::fprintf(stderr, "flowball: %s\n", waylandError.c_str());
}

}  // namespace

int runIdleWatcherMode(const HostOptions& options)
{
    const std::uint32_t milliseconds = options.idleAfterMilliseconds;
    std::string waylandError;
    WaylandIdleOpening outcome = WaylandIdleOpening::failed;
    std::unique_ptr<IdleSource> source = openWaylandIdleSource(milliseconds, outcome, waylandError);
    switch (outcome) {
    case WaylandIdleOpening::opened:
        break;
    case WaylandIdleOpening::noDisplay:
        reportNoWayland(waylandError);
        return exitNoIdleSource;
    case WaylandIdleOpening::noIdleProtocol: {
        std::string busError;
        source = openMutterIdleMonitor(milliseconds, busError);
        if (source == nullptr) {
            std::fprintf(stderr, "flowball: %s, and %s\n", waylandError.c_str(), busError.c_str());
            return exitNoIdleSource;
        }
        break;
    }
    case WaylandIdleOpening::failed:
        std::fprintf(stderr, "flowball: %s\n", waylandError.c_str());
        return exitFailed;
    }

    // That window is the X11 daemon's, for the program it starts; a saver
    // on Wayland has none.
    unsetenv("XSCREENSAVER_WINDOW");
    std::fprintf(stderr, "flowball: shows the saver after %s without input (%s)\n",
                 idleTimeText(milliseconds).c_str(), source->name());
    const int status = runIdleWatcher(*source, saverCommand(ownProgram(), options));
    if (stopSignalled() != 0)
        endBySignal(stopSignalled());
    return status;
}
