// The frame timer of the saver window: a Windows timer run at the periods
// that host/windows/timer_pacing.h gives. While the picture cannot be seen
// (the window hidden or minimised, or a preview pane's dialog hidden or
// minimised, of which the pane hears nothing) the timer looks again twice a
// second; with the display powered off it stops until the system says it is
// on again. The first tick that finds the picture visible draws at once.
//
// Times are milliseconds of the system's monotonic clock; the scene's own
// frame clock is not read, so it keeps running through any pause.
#pragma once

#include <windows.h>

#include "host/windows/timer_pacing.h"

class FrameTimer {
public:
    // WM_CREATE: starts the designed 5 ms timer (the first frame comes with
    // its first tick) and asks the system for the display's power state
    // where it offers the notification.
    void start(HWND window, FrameRate frameRate);

    // WM_TIMER: whether this tick draws a frame. The caller then draws and
    // calls frameDrawn.
    bool tickDraws(HWND window);
    void frameDrawn(HWND window);

    // The display's power, from a power broadcast or a monitor-power system
    // command: off stops the frames at once, on draws the next at once.
    void displayPowered(HWND window, bool on);

    // A change between ticks that may show or hide the picture (the window
    // shown, restored, hidden or minimised): a tick is posted to look at
    // once when the picture may have come or gone.
    void lookAgain(HWND window);

    // WM_DESTROY: the timer and the power notification go.
    void stop(HWND window);

    static constexpr UINT timerId = 1;

private:
    bool canBeSeen(HWND window) const;
    // Sets or kills the timer where the period changed.
    void followPeriod(HWND window);

    TimerPacing pacing;
    bool displayOn = true;
    bool running = false;
    UINT periodMs = TimerPacing::noTimer;
    HANDLE powerNotification = nullptr;
};
