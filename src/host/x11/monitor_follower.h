// Keeps the scene's monitor layout in step with the X screen: at the start,
// and whenever RandR reports a change of monitors or the window moves or
// changes size. Which windows get a view per monitor is usesMonitorViews'
// rule; a window given by another program is left alone (one view).
#pragma once

#include <X11/Xlib.h>

#include "animation/monitor_layout.h"
#include "host/x11/gl_window.h"
#include "host/posix/options.h"
#include "host/x11/randr_monitors.h"

class MonitorFollower {
public:
    // The window must be open, with its context current.
    MonitorFollower(GlWindow& target, const HostOptions& options);

    void start();

    // Every event the host reads passes through here; the ones about the
    // monitors or the window's place change the layout.
    void handleEvent(XEvent& event);

private:
    void layOut();
    ScreenRect windowRect() const;

    GlWindow& window;
    HostMode mode;
    Monitors monitorsSetting;
    RandrMonitors randr;
    // What the scene was last given; the scene starts with no monitors.
    ScreenRect given[randrMonitorCapacity] = {};
    int givenCount = 0;
    int givenX = 0;
    int givenY = 0;
};
