// Where the monitors lie in the saver's window.
//
// A host knows its monitors as rectangles of the virtual screen: integer
// pixels, origin at the top left, y downwards, right and bottom exclusive.
// GL wants window pixels: origin at the window's bottom left, y upwards. The
// window's own top-left corner in virtual-screen pixels is the origin the
// host passes with the rectangles; the window size is the client size the
// views are laid out for.
#pragma once

// A rectangle of the virtual screen (top-left origin, y down).
struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
};

// A rectangle of window pixels (bottom-left origin, y up), as the views keep
// their areas.
struct PixelArea {
    float left;
    float bottom;
    float right;
    float top;
};

// Converts the monitors to window areas, in the order given, each clipped to
// the window (0, 0)-(windowWidth, windowHeight). A monitor that lies wholly
// outside the window, or has no width or height, is left out. At most
// capacity areas are written; the count written is returned.
int monitorAreas(const ScreenRect* monitors, int count, int originX, int originY, float windowWidth,
                 float windowHeight, PixelArea* areas, int capacity);

// The band between a monitor's letterbox bars: the area with barFraction of
// its own height taken off at the top and at the bottom.
PixelArea letterboxBand(const PixelArea& area, float barFraction);

// Whether the area is exactly the whole window.
bool coversWindow(const PixelArea& area, float windowWidth, float windowHeight);
