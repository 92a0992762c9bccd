// Whether anybody can see the window's picture: it is mapped, not fully
// covered by other windows, and the display is powered on. A window that
// cannot be seen gets no frames; the host then only waits for events, and
// asks the display's power state again every idleCheckMicroseconds.
//
// Times are microseconds on a monotonic clock.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

class PictureVisibility {
public:
    // The window's state when the host starts watching it. The display's
    // power is read through its DPMS extension where the server has one.
    void watch(Display* display, Window window, bool mapped);

    // MapNotify, UnmapNotify and VisibilityNotify of the watched window;
    // other events change nothing.
    void handleEvent(const XEvent& event);

    // Whether a frame drawn now could be seen. Reads the display's power
    // state at most once per idleCheckMicroseconds, so asking every frame
    // costs no round trip to the server.
    bool canBeSeen(std::int64_t now);

    // How long a host that cannot draw waits before asking again: at most
    // two wake-ups a second while nothing can be seen.
    static constexpr std::int64_t idleCheckMicroseconds = 500000;

private:
    bool displayPoweredOn();

    Display* display = nullptr;
    Window window = 0;
    bool mapped = false;
    bool fullyObscured = false;
    bool hasPowerControl = false;
    bool poweredOn = true;
    bool powerRead = false;
    std::int64_t powerReadAt = 0;
};
