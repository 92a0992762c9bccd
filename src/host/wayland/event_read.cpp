#include "host/wayland/event_read.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

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

std::string connectionFault(wl_display* display)
{
    const int code = display != nullptr ? wl_display_get_error(display) : 0;
    if (code == EPROTO) {
        const wl_interface* interface = nullptr;
        std::uint32_t id = 0;
        const std::uint32_t error = wl_display_get_protocol_error(display, &interface, &id);
        return std::string("the Wayland compositor refused a request (") +
               (interface != nullptr ? interface->name : "unknown object") + " error " + std::to_string(error) + ")";
    }
    return "the Wayland compositor went away" + (code != 0 ? std::string(" (") + std::strerror(code) + ")" : "");
}
