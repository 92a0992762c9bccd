#include "host/x11/x_errors.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/posix/stop_signals.h"

namespace {

DrawnWindow drawnWindow;
std::vector<Window> ancestors;
XErrorEnding ending = XErrorEnding::none;

int onProtocolError(Display* display, XErrorEvent* event)
{
    if (ending == XErrorEnding::windowGone)
        return 0;
    switch (meaningOfXError(*event, drawnWindow, ancestors)) {
    case XErrorMeaning::windowGone:
        ending = XErrorEnding::windowGone;
        return 0;
    case XErrorMeaning::passing:
        return 0;
    case XErrorMeaning::failure:
        break;
    }
    ending = XErrorEnding::failed;
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
    if (stopSignalled() != 0)
        endBySignal(stopSignalled());
    _exit(1);
}

}  // namespace

void installXErrorHandlers()
{
    XSetErrorHandler(onProtocolError);
    XSetIOErrorHandler(onConnectionLost);
}

void watchDrawnWindow(const DrawnWindow& drawn) { drawnWindow = drawn; }

void watchAncestor(Window window)
{
    if (std::find(ancestors.begin(), ancestors.end(), window) == ancestors.end())
        ancestors.push_back(window);
}

XErrorEnding xErrorEnding() { return ending; }
