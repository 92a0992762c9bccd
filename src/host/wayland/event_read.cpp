#include "host/wayland/event_read.h"

#include <cerrno>

bool beginEventRead(wl_display* display, short& events)
{
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0)
            return false;
    }
    events = POLLIN;
    if (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        events |= POLLOUT;
    }
    return true;
}

bool endEventRead(wl_display* display, short returnedEvents)
{
    if ((returnedEvents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        if (wl_display_read_events(display) < 0)
            return false;
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_pending(display) >= 0;
}
