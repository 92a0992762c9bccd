// Which X11 windows show a view per monitor: the root and a full-screen own
// window do, a smaller own window and a window another program gave do not,
// and span never does.
#include <gtest/gtest.h>

#include "host/x11/monitor_views.h"

namespace {

// Two outputs side by side, the second shorter: 1024x768 and 800x600.
const ScreenRect twoMonitors[] = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};

struct ViewsCase {
    const char* what;
    HostMode mode;
    Monitors monitorsSetting;
    ScreenRect window;
    int monitorCount;
    bool perMonitor;
};

}  // namespace

TEST(MonitorViews, WindowsThatSpanMonitorsGetAViewEach)
{
    const ViewsCase cases[] = {
        {"root", HostMode::rootWindow, Monitors::each, {0, 0, 1824, 768}, 2, true},
        {"root, span", HostMode::rootWindow, Monitors::span, {0, 0, 1824, 768}, 2, false},
        {"root, no monitor list", HostMode::rootWindow, Monitors::each, {0, 0, 1824, 768}, 0, false},
        {"own window over the whole screen", HostMode::ownWindow, Monitors::each, {0, 0, 1824, 768}, 2, true},
        {"own window over both, larger", HostMode::ownWindow, Monitors::each, {-10, -10, 1900, 800}, 2, true},
        {"own window full screen on the second", HostMode::ownWindow, Monitors::each, {1024, 0, 1824, 600}, 2,
         true},
        {"own window, span", HostMode::ownWindow, Monitors::span, {0, 0, 1824, 768}, 2, false},
        {"own window inside the first", HostMode::ownWindow, Monitors::each, {100, 100, 900, 700}, 2, false},
        {"own window across the seam, not covering", HostMode::ownWindow, Monitors::each, {600, 100, 1400, 500}, 2,
         false},
        {"own window over the first, part of the second", HostMode::ownWindow, Monitors::each, {0, 0, 1300, 768},
         2, false},
        {"own window off every monitor", HostMode::ownWindow, Monitors::each, {3000, 0, 3100, 100}, 2, false},
        {"given window over the whole screen", HostMode::givenWindow, Monitors::each, {0, 0, 1824, 768}, 2, false},
    };
    for (const ViewsCase& viewsCase : cases) {
        SCOPED_TRACE(viewsCase.what);
        EXPECT_EQ(usesMonitorViews(viewsCase.mode, viewsCase.monitorsSetting, viewsCase.window, twoMonitors,
                                   viewsCase.monitorCount),
                  viewsCase.perMonitor);
    }
}
