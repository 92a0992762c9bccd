// flowball: the scene drawn with OpenGL on an X display.
//
// The recipe: read the command line, take the stop signals, run the host
// until something ends it, and end by the stop signal when one came.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/posix/exit_status.h"
#include "host/posix/options.h"
#include "host/posix/stop_signals.h"
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
    const int status = runX11Host(options);
    if (stopSignalled() != 0)
        endBySignal(stopSignalled());
    return status;
}
