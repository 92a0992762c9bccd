// Whether anybody can see the window's picture: it is viewable (it and its
// ancestors mapped), not fully covered by other windows, and the display is
// powered on. The frame-loop policy (host/frame_pacing.h) decides what the
// host does with the answer.
//
// Times are microseconds on a monotonic clock.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "host/frame_pacing.h"
#include "host/x11/window_viewability.h"

class PictureVisibility {
public:
    // mapped is the window's own state when the host starts watching it;
    // its ancestors' are read here. The display's power is read through its
    // DPMS extension where the server has one.
    void watch(Display* display, Window window, bool mapped);

    // The structure events of the window and its ancestors
    // (WindowViewability) and the window's VisibilityNotify; other events
    // change nothing.
    void handleEvent(const XEvent& event);

    // Whether a frame drawn now could be seen. Reads the display's power
    // state at most once per FramePacing::lookAgainMicroseconds, so asking
    // every frame costs no round trip to the server.
    PictureState picture(std::int64_t now);

private:
    bool displayPoweredOn();

    Display* display = nullptr;
    Window window = 0;
    WindowViewability viewability;
    bool fullyObscured = false;
    bool hasPowerControl = false;
    bool poweredOn = true;
    bool powerRead = false;
    std::int64_t powerReadAt = 0;
};
