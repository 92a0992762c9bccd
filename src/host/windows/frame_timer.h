// The frame timer of the saver window: a Windows timer run at the periods
// that host/windows/timer_pacing.h gives. While the picture cannot be seen
// (the window hidden or minimised, a preview pane's dialog hidden or
// minimised, of which the pane hears nothing, or the session locked,
// switched away from or disconnected) the timer looks again twice a second.
// With the display powered off it stops until the system says it is on
// again, where the system has shown that it will; elsewhere it looks again
// twice a second for the input that wakes the display
// (host/windows/display_watch.h). The first tick that finds the picture
// visible draws at once.
//
// Times are milliseconds of the system's monotonic clock; the scene's own
// frame clock is not read, so it keeps running through any pause.
#pragma once

#include <windows.h>

#include "host/windows/display_notices.h"
#include "host/windows/display_watch.h"
#include "host/windows/timer_pacing.h"

class FrameTimer {
public:
    // WM_CREATE: starts the designed 5 ms timer (the first frame comes with
    // its first tick) and asks the system for the display's power state and
    // the session's changes where it offers them.
    void start(HWND window, FrameRate frameRate);

    // WM_TIMER: whether this tick draws a frame. The caller then draws and
    // calls frameDrawn.
    bool tickDraws(HWND window);
    void frameDrawn(HWND window);

    // WM_POWERBROADCAST's PBT_POWERSETTINGCHANGE: a notice of the setting
    // registered for says the display's power (off stops the frames at once,
    // on draws the next at once); anything else is ignored.
    void powerSettingChanged(HWND window, LPARAM lParam);

    // The monitor-power system command: off stops the frames at once, on
    // draws the next at once, where no power notice has come.
    void monitorPowerCommanded(HWND window, bool on);

    // WM_WTSSESSION_CHANGE, heard where the window registered for it: a
    // lock, switch or disconnect stops the frames, the return brings them.
    void sessionChanged(HWND window, WPARAM event);

    // A change between ticks that may show or hide the picture (the window
    // shown, restored, hidden or minimised): a tick is posted to look at
    // once when the picture may have come or gone.
    void lookAgain(HWND window);

    // WM_DESTROY: the timer and the registrations go.
    void stop(HWND window);

    static constexpr UINT timerId = 1;

private:
    bool canBeSeen(HWND window) const;
    // Sets or kills the timer where the period changed.
    void followPeriod(HWND window);

    TimerPacing pacing;
    DisplayWatch display;
    DisplayNotices notices;
    bool running = false;
    UINT periodMs = TimerPacing::noTimer;
};
