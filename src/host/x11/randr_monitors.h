// The monitors of an X screen as RandR 1.5 lists them, and their changes.
// Rectangles are root-window pixels (top-left origin, y down).
#pragma once

#include <X11/Xlib.h>

#include "animation/monitor_layout.h"

// The most monitors read; the views take the first nine.
constexpr int randrMonitorCapacity = 16;

class RandrMonitors {
public:
    // Asks the server to report monitor changes on the screen's root window.
    // False when the server has no RandR 1.5 (no monitor list): the screen
    // then counts as one monitor.
    bool watch(Display* display);

    // Takes a RandR event into Xlib's idea of the screen; true when the event
    // was one (the monitor list may have changed).
    bool isChangeEvent(XEvent& event) const;

    // The active monitors, the primary first and then in the server's order;
    // answers how many were written to rects (at most capacity), 0 without
    // RandR 1.5.
    int read(ScreenRect* rects, int capacity) const;

private:
    Display* display = nullptr;
    Window root = 0;
    bool available = false;
    int eventBase = 0;
};
