#include "host/x11/monitor_follower.h"

#include "driver/scene_director.h"
#include "host/x11/monitor_views.h"

namespace {

bool sameRect(const ScreenRect& a, const ScreenRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

MonitorFollower::MonitorFollower(GlWindow& target, const HostOptions& options)
    : window(target), mode(options.mode), monitorsSetting(options.settings.monitorsChoice())
{
}

void MonitorFollower::start()
{
    // A daemon's or a preview's window is one view whatever the screen holds.
    if (mode == HostMode::givenWindow || monitorsSetting != Monitors::each)
        return;
    if (randr.watch(window.display))
        layOut();
}

void MonitorFollower::handleEvent(XEvent& event)
{
    if (mode == HostMode::givenWindow || monitorsSetting != Monitors::each)
        return;
    if (randr.isChangeEvent(event) ||
        (event.type == ConfigureNotify && event.xconfigure.window == window.window))
        layOut();
}

ScreenRect MonitorFollower::windowRect() const
{
    int x = 0;
    int y = 0;
    if (mode == HostMode::ownWindow) {
        // Where the window lies on the root, through any frame a window
        // manager put round it.
        Window child = 0;
        XTranslateCoordinates(window.display, window.window, DefaultRootWindow(window.display), 0, 0, &x, &y,
                              &child);
    }
    return {x, y, x + window.width, y + window.height};
}

void MonitorFollower::layOut()
{
    ScreenRect monitors[randrMonitorCapacity];
    int count = randr.read(monitors, randrMonitorCapacity);
    const ScreenRect area = windowRect();
    if (!usesMonitorViews(mode, monitorsSetting, area, monitors, count))
        count = 0;
    // One monitor that is the whole window is the single view the scene
    // starts with.
    if (count == 1 && sameRect(monitors[0], area))
        count = 0;

    bool changed = count != givenCount || (count > 0 && (area.left != givenX || area.top != givenY));
    for (int i = 0; i < count && !changed; ++i)
        changed = !sameRect(monitors[i], given[i]);
    if (!changed)
        return;
    for (int i = 0; i < count; ++i)
        given[i] = monitors[i];
    givenCount = count;
    givenX = area.left;
    givenY = area.top;
    setMonitorLayout(given, givenCount, givenX, givenY);
}
