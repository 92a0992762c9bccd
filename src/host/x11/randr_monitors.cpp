#include "host/x11/randr_monitors.h"

#include <X11/extensions/Xrandr.h>

bool RandrMonitors::watch(Display* connection)
{
    display = connection;
    root = DefaultRootWindow(display);
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    available = XRRQueryExtension(display, &eventBase, &errorBase) && XRRQueryVersion(display, &major, &minor) &&
                (major > 1 || (major == 1 && minor >= 5));
    if (available)
        XRRSelectInput(display, root, RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    return available;
}

bool RandrMonitors::isChangeEvent(XEvent& event) const
{
    if (!available)
        return false;
    if (event.type != eventBase + RRScreenChangeNotify && event.type != eventBase + RRNotify)
        return false;
    XRRUpdateConfiguration(&event);
    return true;
}

int RandrMonitors::read(ScreenRect* rects, int capacity) const
{
    if (!available)
        return 0;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (monitors == nullptr)
        return 0;
    int written = 0;
    // The primary first, as the main monitor leads on every platform.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < count && written < capacity; ++i) {
            const bool primary = monitors[i].primary != 0;
            if (primary != (pass == 0))
                continue;
            const XRRMonitorInfo& monitor = monitors[i];
            rects[written++] = {monitor.x, monitor.y, monitor.x + monitor.width, monitor.y + monitor.height};
        }
    }
    XRRFreeMonitors(monitors);
    return written;
}
