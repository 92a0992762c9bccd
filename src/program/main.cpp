// flowball: the scene drawn with OpenGL on a Wayland desktop or an X display.
//
// The recipe: read the command line, take the stop signals, choose the
// display, run its host until something ends it, and end by the stop signal
// when one came.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "program/display_choice.h"
#include "host/posix/exit_status.h"
#include "program/idle_mode.h"
#include "host/posix/options.h"
#include "host/posix/stop_signals.h"
#include "host/wayland/wayland_host.h"
#include "host/x11/x11_host.h"

int main(int argc, char** argv)
{
    HostOptions options;
    std::string error;
    if (!parseHostOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), options, error)) {
        std::fprintf(stderr, "flowball: %s\nTry 'flowball --help'.\n", error.c_str());
        return exitBadCommandLine;
    }
    if (options.help) {
        std::fputs(hostUsage().c_str(), stdout);
        return exitEnded;
    }

    takeStopSignals();
    if (options.idleAfterMilliseconds != 0)
        return runIdleWatcherMode(options);
    int status = exitFailed;
    switch (chooseDisplay(options, waylandAnswers, std::getenv("DISPLAY"))) {
    case DisplayKind::wayland:
        status = runWaylandHost(options);
        break;
    case DisplayKind::x11:
        status = runX11Host(options);
        break;
    case DisplayKind::none:
        std::fprintf(stderr, "flowball: %s\n", noDisplayMessage());
        break;
    }
    if (stopSignalled() != 0)
        endBySignal(stopSignalled());
    return status;
}
