// Where the environment says the session's Wayland compositor is: a socket
// named by WAYLAND_DISPLAY, or a connection a launcher handed over already
// made, its descriptor in WAYLAND_SOCKET. The client library prefers the
// handed-over connection, takes it at the first connect (removing the
// variable) and closes it at the disconnect: it serves one connection of one
// process, so nothing may connect to try it first.
#pragma once

#include <string>

// Whether either names a compositor. Without either, wl_display_connect
// would try "wayland-0", which may belong to a compositor beside an X
// session: that is no session's compositor.
bool compositorNamed();

// Whether a launcher handed over a connection (WAYLAND_SOCKET is set).
bool connectionHandedOver();

// Whether WAYLAND_DISPLAY names a socket, which any number of connections
// may use.
bool compositorSocketNamed();

// The one-line message for a connect that failed with errno's code.
std::string cannotConnectMessage(int code);
