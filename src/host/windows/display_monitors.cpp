#include "host/windows/display_monitors.h"

#include "host/windows/virtual_screen.h"

namespace {

// EnumDisplayMonitors came with Windows 98 and 2000: looked up at run time so
// that the saver still starts where user32 lacks it.
using EnumDisplayMonitorsProc = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);

struct MonitorList {
    ScreenRect* monitors;
    int capacity;
    int count;
};

// The primary monitor is the one whose top-left corner is the origin.
bool isPrimary(const RECT& rect) { return rect.left == 0 && rect.top == 0; }

BOOL CALLBACK addMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data)
{
    MonitorList& list = *reinterpret_cast<MonitorList*>(data);
    const ScreenRect monitor = {rect->left, rect->top, rect->right, rect->bottom};
    if (isPrimary(*rect)) {
        // To the front, so that it keeps its view however many monitors
        // there are; the last one drops out when the list is full.
        const int kept = list.count < list.capacity ? list.count : list.capacity - 1;
        for (int i = kept; i > 0; --i)
            list.monitors[i] = list.monitors[i - 1];
        list.monitors[0] = monitor;
        list.count = kept + 1;
    } else if (list.count < list.capacity) {
        list.monitors[list.count++] = monitor;
    }
    return TRUE;
}

}  // namespace

RECT virtualScreenBounds()
{
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT clipBox = {};
    if (width <= 0 || height <= 0) {
        HDC screen = GetDC(nullptr);
        GetClipBox(screen, &clipBox);
        ReleaseDC(nullptr, screen);
    }
    const ScreenRect bounds = virtualScreenFromMetrics(
        GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), width, height,
        {clipBox.left, clipBox.top, clipBox.right, clipBox.bottom});
    return {bounds.left, bounds.top, bounds.right, bounds.bottom};
}

int collectMonitors(ScreenRect* monitors, int capacity)
{
    if (capacity < 1)
        return 0;
    HMODULE user = GetModuleHandleA("USER32.DLL");
    if (user == nullptr)
        return 0;
    const auto enumerate = reinterpret_cast<EnumDisplayMonitorsProc>(
        reinterpret_cast<void*>(GetProcAddress(user, "EnumDisplayMonitors")));
    if (enumerate == nullptr)
        return 0;
    MonitorList list = {monitors, capacity, 0};
    if (!enumerate(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&list)))
        return 0;
    return list.count;
}
