// The virtual screen, which the full-screen saver window covers, as the
// system's metrics give it (SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN,
// SM_CXVIRTUALSCREEN, SM_CYVIRTUALSCREEN: Windows 98 and 2000 and later), or
// the screen's clip box where the system has no such metrics (95 and NT 4
// answer 0 for them). Portable, so that the choice can be checked on its own.
//
// Rectangles in virtual-screen pixels: origin at the primary monitor's
// top-left corner, y downwards, right and bottom exclusive.
#pragma once

#include "animation/monitor_layout.h"

// left and top may be negative (monitors left of or above the primary one);
// a width or height of 0 or less means the metrics are missing.
ScreenRect virtualScreenFromMetrics(int left, int top, int width, int height, const ScreenRect& clipBox);
