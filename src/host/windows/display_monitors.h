// The screen as the full-screen saver window covers it: the virtual screen's
// bounds and the monitors in it.
//
// Rectangles are in virtual-screen pixels: origin at the primary monitor's
// top-left corner, y downwards, right and bottom exclusive; monitors left of
// or above the primary one have negative coordinates.
#pragma once

#include <windows.h>

#include "animation/monitor_layout.h"

// The whole virtual screen: from the system's metrics, or the clip box of the
// screen's device context where it has none (host/windows/virtual_screen.h).
RECT virtualScreenBounds();

// Up to capacity monitors, the primary one first and the others in the
// order the system lists them. 0 where the system cannot list monitors
// (user32 without EnumDisplayMonitors): the caller then treats the screen as
// one monitor.
int collectMonitors(ScreenRect* monitors, int capacity);
