// Whether the X11 program lays out one view per monitor, and over which
// monitors. Rectangles are root-window pixels (top-left origin, y down,
// right and bottom exclusive), as RandR reports monitors.
//
// With the Monitors setting at each, a window that spans monitors shows one
// letterboxed view per monitor: the root window, and the program's own window
// when it covers every monitor it lies on (full screen on one monitor or
// across several). A smaller own window, and a window that another program
// gave (a screen-saver daemon gives each monitor a window of its own), show
// one view. Monitors at span always give one view.
#pragma once

#include "animation/monitor_layout.h"
#include "host/posix/options.h"

bool usesMonitorViews(HostMode mode, Monitors monitorsSetting, const ScreenRect& window, const ScreenRect* monitors,
                      int count);
