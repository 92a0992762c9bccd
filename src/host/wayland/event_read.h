// One read of a Wayland connection's events, as a program that polls the
// connection beside other descriptors does it: events already queued are
// dispatched first, the requests written, and after the poll the events read
// (or the read given up) and dispatched. A socket too full to take every
// request adds POLLOUT, so that the poll wakes when the rest can go.
#pragma once

#include <poll.h>
#include <wayland-client.h>

#include <string>

// Prepares the read and flushes; events is what to poll the connection's
// descriptor for. False when the connection failed (nothing left to end).
bool beginEventRead(wl_display* display, short& events);

// Reads what the poll found (returnedEvents) or gives the read up, then
// dispatches. False when the connection failed.
bool endEventRead(wl_display* display, short returnedEvents);

// How the connection failed, in one line: the request the compositor
// refused, or the compositor gone.
std::string connectionFault(wl_display* display);
