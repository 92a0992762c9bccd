// The frame timer of the saver window: the shared frame-loop policy
// (host/frame_pacing.h) told in timer periods. FrameRate 0 and 1 keep the
// designed 5 ms timer and draw on every tick; FrameRate 2 re-arms the timer
// after each frame for the time until the next one is due on the 1/30 s
// grid, so that the window wakes about once a frame. While the picture
// cannot be seen no frame is drawn: with the display powered off the timer
// stops until the system says it is on again; with the window hidden or
// minimised, or the preview pane's dialog hidden, the timer only looks again
// twice a second. The first tick that finds the picture visible draws at
// once.
//
// Windows raises any timer period under 10 ms to 10 ms, and its usual tick
// is 15.6 ms: the designed 5 ms timer gives at most 100 frames a second,
// about 64 on most systems.
//
// Times are milliseconds of the system's monotonic clock; the scene's own
// frame clock is not read, so it keeps running through any pause.
#pragma once

#include <windows.h>

#include "host/frame_pacing.h"

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
    // Windows' shortest timer period (USER_TIMER_MINIMUM).
    static constexpr UINT shortestPeriodMs = 10;
    // The period that stands for no timer at all.
    static constexpr UINT noTimer = 0;

private:
    bool canBeSeen(HWND window) const;
    void setPeriod(HWND window, UINT periodMs);

    FramePacing pacing;
    bool displayOn = true;
    bool running = false;
    UINT periodMs = noTimer;
    HANDLE powerNotification = nullptr;
};
