#include "animation/monitor_layout.h"

#include <algorithm>

int monitorAreas(const ScreenRect* monitors, int count, int originX, int originY, float windowWidth,
                 float windowHeight, PixelArea* areas, int capacity)
{
    int written = 0;
    for (int i = 0; i < count && written < capacity; ++i) {
        const ScreenRect& monitor = monitors[i];
        // In double: virtual-screen coordinates minus the origin may leave
        // the int range, and float cannot hold every int.
        const double left = double(monitor.left) - originX;
        const double right = double(monitor.right) - originX;
        const double top = double(windowHeight) - (double(monitor.top) - originY);
        const double bottom = double(windowHeight) - (double(monitor.bottom) - originY);
        const double clippedLeft = std::max(left, 0.0);
        const double clippedRight = std::min(right, double(windowWidth));
        const double clippedBottom = std::max(bottom, 0.0);
        const double clippedTop = std::min(top, double(windowHeight));
        if (!(clippedRight > clippedLeft) || !(clippedTop > clippedBottom))
            continue;
        areas[written++] = {float(clippedLeft), float(clippedBottom), float(clippedRight), float(clippedTop)};
    }
    return written;
}

PixelArea letterboxBand(const PixelArea& area, float barFraction)
{
    const float inset = (area.top - area.bottom) * barFraction;
    return {area.left, area.bottom + inset, area.right, area.top - inset};
}

bool coversWindow(const PixelArea& area, float windowWidth, float windowHeight)
{
    return area.left == 0.0f && area.bottom == 0.0f && area.right == windowWidth && area.top == windowHeight;
}
