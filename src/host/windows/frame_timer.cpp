#include "host/windows/frame_timer.h"

#include "driver/system_clock.h"

namespace {

// The console display's state (Windows 8 on) and the monitor's power (Vista
// and 7): a DWORD, 0 off, 1 on, 2 dimmed (still seen).
constexpr GUID consoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID monitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

using RegisterPowerSettingNotificationProc = HANDLE(WINAPI*)(HANDLE recipient, const GUID* setting, DWORD flags);
using UnregisterPowerSettingNotificationProc = BOOL(WINAPI*)(HANDLE notification);

constexpr DWORD notifyWindowHandle = 0;  // DEVICE_NOTIFY_WINDOW_HANDLE

// Looked up at run time: Windows before Vista has neither call, and there
// the monitor-power system command is the only word of the display's power.
FARPROC userExport(const char* name)
{
    HMODULE user = GetModuleHandleA("USER32.DLL");
    return user != nullptr ? GetProcAddress(user, name) : nullptr;
}

HANDLE registerDisplayNotification(HWND window)
{
    const auto registerNotification = reinterpret_cast<RegisterPowerSettingNotificationProc>(
        reinterpret_cast<void*>(userExport("RegisterPowerSettingNotification")));
    if (registerNotification == nullptr)
        return nullptr;
    HANDLE notification = registerNotification(window, &consoleDisplayState, notifyWindowHandle);
    if (notification == nullptr)
        notification = registerNotification(window, &monitorPowerOn, notifyWindowHandle);
    return notification;
}

void unregisterDisplayNotification(HANDLE notification)
{
    const auto unregisterNotification = reinterpret_cast<UnregisterPowerSettingNotificationProc>(
        reinterpret_cast<void*>(userExport("UnregisterPowerSettingNotification")));
    if (unregisterNotification != nullptr)
        unregisterNotification(notification);
}

std::int64_t nowMicroseconds()
{
    return static_cast<std::int64_t>(systemMilliseconds()) * 1000;
}

// A timer period covering the wait, in whole milliseconds, at least one.
UINT periodFor(std::int64_t waitMicroseconds)
{
    const std::int64_t milliseconds = (waitMicroseconds + 999) / 1000;
    return milliseconds < 1 ? 1 : static_cast<UINT>(milliseconds);
}

// The timer is asked for the designed period, though Windows gives no less
// than its shortest.
const UINT designedPeriodMs = periodFor(FramePacing::designedPeriodMicroseconds);

// The window must look to see whether it can be seen (no message tells a
// preview pane that its dialog was minimised); the power broadcast tells
// when the display comes on. A wait the timer cannot keep is no wait.
constexpr HostNews windowsNews{false, true, std::int64_t{FrameTimer::shortestPeriodMs} * 1000};

}  // namespace

void FrameTimer::start(HWND window, FrameRate frameRate)
{
    pacing = FramePacing(frameRate, windowsNews);
    displayOn = true;
    running = true;
    setPeriod(window, designedPeriodMs);
    powerNotification = registerDisplayNotification(window);
}

bool FrameTimer::tickDraws(HWND window)
{
    const FrameDecision decision = pacing.next(nowMicroseconds(), {canBeSeen(window), displayOn});
    switch (decision.action) {
    case FrameDecision::Action::drawNow:
        // Back from a rest, the timer rates keep their designed timer.
        if (pacing.followsTimer())
            setPeriod(window, designedPeriodMs);
        return true;
    case FrameDecision::Action::waitFor:
        setPeriod(window, periodFor(decision.microseconds));
        return false;
    case FrameDecision::Action::waitUntilTold:
        setPeriod(window, noTimer);
        return false;
    }
    return false;
}

void FrameTimer::frameDrawn(HWND window)
{
    if (!pacing.followsTimer())
        setPeriod(window, periodFor(pacing.microsecondsUntilDue(nowMicroseconds())));
}

void FrameTimer::displayPowered(HWND window, bool on)
{
    displayOn = on;
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
    setPeriod(window, noTimer);
    if (powerNotification != nullptr) {
        unregisterDisplayNotification(powerNotification);
        powerNotification = nullptr;
    }
}

// A preview pane's window is visible only while every parent up to the
// settings dialog is.
bool FrameTimer::canBeSeen(HWND window) const
{
    return displayOn && IsWindowVisible(window) && !IsIconic(window);
}

void FrameTimer::setPeriod(HWND window, UINT period)
{
    if (period == periodMs)
        return;
    periodMs = period;
    if (period == noTimer)
        KillTimer(window, timerId);
    else
        SetTimer(window, timerId, period, nullptr);
}
