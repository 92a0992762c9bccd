#include "host/x11/x_errors.h"

#include <unistd.h>

#include <cstdio>

#include "host/x11/x_error_meaning.h"

namespace {

Window watchedWindow = 0;
bool watchedGone = false;

int onProtocolError(Display* display, XErrorEvent* event)
{
    if (meaningOfXError(*event, watchedWindow) == XErrorMeaning::windowGone) {
        watchedGone = true;
        return 0;
    }
    char description[160];
    XGetErrorText(display, event->error_code, description, sizeof description);
    std::fprintf(stderr, "flowball: X error: %s (request %d.%d, resource 0x%lx)\n", description,
                 int(event->request_code), int(event->minor_code), event->resourceid);
    return 0;
}

int onConnectionLost(Display* display)
{
    std::fprintf(stderr, "flowball: lost the connection to the X display %s\n", DisplayString(display));
    std::fflush(stderr);
    _exit(1);
}

}  // namespace

void installXErrorHandlers()
{
    XSetErrorHandler(onProtocolError);
    XSetIOErrorHandler(onConnectionLost);
}

void watchWindow(Window window)
{
    watchedWindow = window;
    watchedGone = false;
}

bool watchedWindowLost() { return watchedGone; }
