#include "host/windows/display_notices.h"

#include <cstddef>

namespace {

// The display of the window's session (Windows 8 on) and the monitor's power
// (Vista and 7): a DWORD, 0 off, 1 on, 2 dimmed (still seen).
constexpr GUID sessionDisplayStatus = {0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};
constexpr GUID monitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

using RegisterPowerSettingNotificationProc = HANDLE(WINAPI*)(HANDLE recipient, const GUID* setting, DWORD flags);
using UnregisterPowerSettingNotificationProc = BOOL(WINAPI*)(HANDLE notification);
using RegisterSessionNotificationProc = BOOL(WINAPI*)(HWND window, DWORD flags);
using UnregisterSessionNotificationProc = BOOL(WINAPI*)(HWND window);
using GetLastInputInfoProc = BOOL(WINAPI*)(LASTINPUTINFO* info);

constexpr DWORD notifyWindowHandle = 0;  // DEVICE_NOTIFY_WINDOW_HANDLE
constexpr DWORD notifyForThisSession = 0;

// Looked up at run time: Windows 98 exports none of the calls used here.
FARPROC userExport(const char* name)
{
    HMODULE user = GetModuleHandleA("USER32.DLL");
    return user != nullptr ? GetProcAddress(user, name) : nullptr;
}

template <typename Proc>
Proc exported(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

template <typename Proc>
Proc userCall(const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(userExport(name)));
}

// The setting the system sends, by its version: Vista and 7 accept the
// registration of a setting they never send.
const GUID* displaySettingOfThisSystem()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion < 6)
        return nullptr;
    if (version.dwMajorVersion == 6 && version.dwMinorVersion < 2)
        return &monitorPowerOn;
    return &sessionDisplayStatus;
}

// Whether the size bytes at address are committed memory the process may
// read: a message's pointer from another process may point anywhere.
bool readable(LPARAM address, std::size_t size)
{
    const auto start = static_cast<std::uintptr_t>(address);
    if (start == 0 || start > UINTPTR_MAX - size)
        return false;
    constexpr DWORD readableProtection = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                         PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    for (std::uintptr_t at = start; at < start + size;) {
        MEMORY_BASIC_INFORMATION region = {};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) == 0 ||
            region.State != MEM_COMMIT || (region.Protect & readableProtection) == 0 ||
            (region.Protect & PAGE_GUARD) != 0)
            return false;
        at = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

}  // namespace

void DisplayNotices::registerFor(HWND window)
{
    const GUID* setting = displaySettingOfThisSystem();
    const auto registerPower = userCall<RegisterPowerSettingNotificationProc>("RegisterPowerSettingNotification");
    if (setting != nullptr && registerPower != nullptr) {
        powerNotification = registerPower(window, setting, notifyWindowHandle);
        if (powerNotification != nullptr)
            powerSetting = *setting;
    }
    sessionModule = LoadLibraryA("WTSAPI32.DLL");
    if (sessionModule == nullptr)
        return;
    const auto registerSession =
        exported<RegisterSessionNotificationProc>(sessionModule, "WTSRegisterSessionNotification");
    if (registerSession == nullptr || !registerSession(window, notifyForThisSession)) {
        FreeLibrary(sessionModule);
        sessionModule = nullptr;
    }
}

void DisplayNotices::unregister(HWND window)
{
    if (powerNotification != nullptr) {
        const auto unregisterPower =
            userCall<UnregisterPowerSettingNotificationProc>("UnregisterPowerSettingNotification");
        if (unregisterPower != nullptr)
            unregisterPower(powerNotification);
        powerNotification = nullptr;
    }
    if (sessionModule != nullptr) {
        const auto unregisterSession =
            exported<UnregisterSessionNotificationProc>(sessionModule, "WTSUnRegisterSessionNotification");
        if (unregisterSession != nullptr)
            unregisterSession(window);
        FreeLibrary(sessionModule);
        sessionModule = nullptr;
    }
}

bool DisplayNotices::readPowerNotice(LPARAM lParam, bool& on) const
{
    constexpr std::size_t noticeSize = offsetof(POWERBROADCAST_SETTING, Data) + sizeof(DWORD);
    if (powerNotification == nullptr || !readable(lParam, noticeSize))
        return false;
    const auto* notice = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (!IsEqualGUID(notice->PowerSetting, powerSetting) || notice->DataLength != sizeof(DWORD))
        return false;
    DWORD state = 0;
    CopyMemory(&state, notice->Data, sizeof state);
    on = state != 0;
    return true;
}

std::uint64_t DisplayNotices::inputMark() const
{
    const auto getLastInput = userCall<GetLastInputInfoProc>("GetLastInputInfo");
    LASTINPUTINFO input = {};
    input.cbSize = sizeof input;
    if (getLastInput != nullptr && getLastInput(&input))
        return input.dwTime;
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    return std::uint64_t(std::uint32_t(cursor.x)) << 32 | std::uint32_t(cursor.y);
}
