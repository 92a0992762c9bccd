#include "host/x11/monitor_views.h"

#include "settings/settings.h"

namespace {

bool overlaps(const ScreenRect& a, const ScreenRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool contains(const ScreenRect& outer, const ScreenRect& inner)
{
    return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
           inner.bottom <= outer.bottom;
}

}  // namespace

bool usesMonitorViews(HostMode mode, Monitors monitorsSetting, const ScreenRect& window, const ScreenRect* monitors,
                      int count)
{
    if (monitorsSetting != Monitors::each || count <= 0)
        return false;
    switch (mode) {
    case HostMode::givenWindow:
        return false;
    case HostMode::rootWindow:
        return true;
    case HostMode::ownWindow:
        break;
    }
    bool onAny = false;
    for (int i = 0; i < count; ++i) {
        if (!overlaps(window, monitors[i]))
            continue;
        if (!contains(window, monitors[i]))
            return false;
        onAny = true;
    }
    return onAny;
}
