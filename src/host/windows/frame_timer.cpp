#include "host/windows/frame_timer.h"

#include "driver/system_clock.h"

namespace {

std::int64_t nowMicroseconds()
{
    return static_cast<std::int64_t>(systemMilliseconds()) * 1000;
}

}  // namespace

void FrameTimer::start(HWND window, FrameRate frameRate)
{
    pacing = TimerPacing(frameRate);
    display = DisplayWatch();
    running = true;
    followPeriod(window);
    notices.registerFor(window);
}

bool FrameTimer::tickDraws(HWND window)
{
    if (!display.displayOn())
        display.looked(notices.inputMark());
    const bool draws = pacing.tick(nowMicroseconds(), {canBeSeen(window), display.displayOn()});
    followPeriod(window);
    return draws;
}

void FrameTimer::frameDrawn(HWND window)
{
    if (!pacing.readsClockAfterFrame())
        return;
    pacing.frameDrawn(nowMicroseconds());
    followPeriod(window);
}

void FrameTimer::powerSettingChanged(HWND window, LPARAM lParam)
{
    bool on = true;
    if (!notices.readPowerNotice(lParam, on))
        return;
    display.noticed(on);
    pacing.displayNoticesHeard();
    lookAgain(window);
}

void FrameTimer::monitorPowerCommanded(HWND window, bool on)
{
    display.commanded(on, notices.inputMark());
    lookAgain(window);
}

void FrameTimer::sessionChanged(HWND window, WPARAM event)
{
    if (!notices.sessionNoticesRegistered())
        return;
    display.sessionChanged(static_cast<std::uint32_t>(event));
    lookAgain(window);
}

// A tick of its own looks at once, but only where the picture may have
// come or gone: a window that draws on keeps its timer's frames as they are.
void FrameTimer::lookAgain(HWND window)
{
    if (running && (pacing.resting() || !canBeSeen(window)))
        PostMessageA(window, WM_TIMER, timerId, 0);
}

void FrameTimer::stop(HWND window)
{
    running = false;
    if (periodMs != TimerPacing::noTimer)
        KillTimer(window, timerId);
    periodMs = TimerPacing::noTimer;
    notices.unregister(window);
}

// A child window is never iconic itself, and stays visible to the system
// while its top-level window is minimised: a preview pane is seen only while
// it and every parent are visible and the settings dialog is not minimised.
bool FrameTimer::canBeSeen(HWND window) const
{
    if (!display.displayOn() || !display.sessionShown() || !IsWindowVisible(window) || IsIconic(window))
        return false;
    HWND topLevel = GetAncestor(window, GA_ROOT);
    return topLevel == nullptr || topLevel == window || !IsIconic(topLevel);
}

void FrameTimer::followPeriod(HWND window)
{
    const UINT period = pacing.periodMs();
    if (period == periodMs)
        return;
    periodMs = period;
    if (period == TimerPacing::noTimer)
        KillTimer(window, timerId);
    else
        SetTimer(window, timerId, period, nullptr);
}
