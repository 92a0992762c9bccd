// flowball-render's --monitors value: a comma-separated list of monitors,
// each WIDTHxHEIGHT followed by its left and top edge with their signs, as in
// 1024x768+0+0,800x600+1024+0 or 1280x1024-1280+0 for a monitor left of the
// origin. The window the scene is rendered into is the monitors' bounding
// box.
#pragma once

#include <string>
#include <vector>

#include "animation/monitor_layout.h"

// Most monitors a list may name; the first nine get views.
constexpr int monitorListLimit = 16;
// Edges lie within this distance of the origin.
constexpr int monitorEdgeLimit = 65536;

// Parses the whole text into monitors (virtual-screen rectangles). Returns
// false with the reason in error on the first problem: a malformed or empty
// entry, a side outside 1 to sideLimit, an edge beyond monitorEdgeLimit, more
// than monitorListLimit monitors, or a bounding box wider or higher than
// sideLimit.
bool parseMonitorList(const std::string& text, int sideLimit, std::vector<ScreenRect>& monitors,
                      std::string& error);

// The smallest rectangle holding every monitor; all zero for none.
ScreenRect monitorBounds(const std::vector<ScreenRect>& monitors);
