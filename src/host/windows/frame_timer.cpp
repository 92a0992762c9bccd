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

}  // namespace

void FrameTimer::start(HWND window, FrameRate frameRate)
{
    pacing = TimerPacing(frameRate);
    displayOn = true;
    running = true;
    followPeriod(window);
    powerNotification = registerDisplayNotification(window);
}

bool FrameTimer::tickDraws(HWND window)
{
    const bool draws = pacing.tick(nowMicroseconds(), {canBeSeen(window), displayOn});
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
    if (periodMs != TimerPacing::noTimer)
        KillTimer(window, timerId);
    periodMs = TimerPacing::noTimer;
    if (powerNotification != nullptr) {
        unregisterDisplayNotification(powerNotification);
        powerNotification = nullptr;
    }
}

// A child window is never iconic itself, and stays visible to the system
// while its top-level window is minimised: a preview pane is seen only while
// it and every parent are visible and the settings dialog is not minimised.
bool FrameTimer::canBeSeen(HWND window) const
{
    if (!displayOn || !IsWindowVisible(window) || IsIconic(window))
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
