/* Preloaded into flowball by the end-to-end test to force a race that a
 * screen-saver daemon can win at any time: the window that
 * FLOWBALL_CHANGED_WINDOW names is mapped (FLOWBALL_WINDOW_CHANGE=map) or
 * unmapped (=unmap) by another client right after the program first reads
 * its attributes, before the program's next request. A program that
 * selected the window's events only after that read never hears of the
 * change. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

/* Kept open to the end: closing it would pass through the release probe's
 * XCloseDisplay, which the test reads as the program's own. */
static Display* other;
static int changed;

static void changeWindow(Display* display, Window window)
{
    other = XOpenDisplay(DisplayString(display));
    if (other == NULL)
        return;
    const char* change = getenv("FLOWBALL_WINDOW_CHANGE");
    if (change != NULL && strcmp(change, "unmap") == 0)
        XUnmapWindow(other, window);
    else
        XMapWindow(other, window);
    XSync(other, False);
}

Status XGetWindowAttributes(Display* display, Window window, XWindowAttributes* attributes)
{
    Status (*real)(Display*, Window, XWindowAttributes*) =
        (Status(*)(Display*, Window, XWindowAttributes*))dlsym(RTLD_NEXT, "XGetWindowAttributes");
    const Status result = real(display, window, attributes);
    const char* named = getenv("FLOWBALL_CHANGED_WINDOW");
    if (!changed && named != NULL && strtoul(named, NULL, 0) == window) {
        changed = 1;
        changeWindow(display, window);
    }
    return result;
}
