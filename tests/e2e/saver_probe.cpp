// A console helper for the end-to-end tests: looks at the saver's windows and
// the system state from outside the saver process and prints what it finds as
// "key value" lines on standard output.
//
//   saver-probe window CLASS TITLE [PARENT]
//                                     the first window of that class and title
//                                     (a top-level one, or a child of PARENT):
//                                     handle, rectangle, styles, topmost,
//                                     owner, foreground, screen size
//   saver-probe running               the system's saver-running flag
//   saver-probe screen                the virtual screen (its metrics and the
//                                     clip box of the screen's DC) and each
//                                     monitor's rectangle
//   saver-probe follow-layout HANDLE MONITORS SECONDS
//                                     started before a change of the monitor
//                                     layout, so no process starts while the
//                                     system takes it in: prints "ready",
//                                     waits until the system counts MONITORS
//                                     monitors, prints the screen as "screen"
//                                     does, posts HANDLE the WM_DISPLAYCHANGE
//                                     that Windows sends for a new layout and
//                                     waits until that window covers the new
//                                     virtual screen ("rect" line); each wait
//                                     within SECONDS of the start
//   saver-probe post HANDLE MESSAGE WPARAM LPARAM
//                                     PostMessageA with decimal numbers
//   saver-probe send HANDLE MESSAGE WPARAM LPARAM
//                                     SendMessageTimeoutA with decimal numbers;
//                                     prints the reply
//   saver-probe help HANDLE           sends WM_HELP with a HELPINFO, as the
//                                     system does, and prints the reply; the
//                                     HELPINFO names the window as its item,
//                                     control 7, context 9001 and the cursor
//                                     position, so a receiver can show it got
//                                     this one
//   saver-probe autoplay HANDLE       sends the registered "QueryCancelAutoPlay"
//                                     message and prints the reply
//   saver-probe settext HANDLE TEXT   sends WM_SETTEXT and prints the reply
//   saver-probe texts HANDLE          the text of each child window of HANDLE
//                                     ("text ..." lines), as a message box's
//                                     static control holds its message
//   saver-probe lock-key SUBKEY       creates HKEY_CURRENT_USER\SUBKEY if
//                                     need be and gives it an empty access
//                                     list: nobody may write to it, as when
//                                     policy makes it read-only
//   saver-probe unlock-key SUBKEY     gives it back an access list that lets
//                                     everybody in
//   saver-probe show HANDLE COMMAND   ShowWindow with that show command
//   saver-probe display-power HANDLE STATE
//                                     sends WM_POWERBROADCAST with
//                                     PBT_POWERSETTINGCHANGE, as the system
//                                     does to a window registered for the
//                                     display's state (its session's display
//                                     from Windows 8 on, the monitor's power
//                                     on Vista and 7, as the system says its
//                                     version is): the setting (STATE 0 off,
//                                     1 on, 2 dimmed) is written into the
//                                     window's process, where its pointer is
//                                     valid; prints the reply
//   saver-probe stray-power-setting HANDLE KIND
//                                     sends WM_POWERBROADCAST with
//                                     PBT_POWERSETTINGCHANGE as no system
//                                     does: KIND "junk" gives a pointer to
//                                     nothing, "stranger" a pointer valid in
//                                     the window's process to a setting of
//                                     zeros but for its 4-byte length (the
//                                     all-zero setting, off); prints the reply
//   saver-probe run PROGRAM TAIL      starts PROGRAM with exactly the command
//                                     line "PROGRAM" TAIL (the two characters
//                                     \t in TAIL stand for a tab), waits for
//                                     it and prints its exit code
// Exit code 0 when the query answered, 1 when the window was not found or the
// arguments were wrong.
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

unsigned long number(const char* text)
{
    return std::strtoul(text, nullptr, 0);
}

// Handles are printed as their 32 significant bits; a 64-bit program widens
// them with their sign, as the system does.
HWND windowFromText(const char* text)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<LONG>(number(text))));
}

int describeWindow(const char* className, const char* title, HWND parent)
{
    HWND window = FindWindowExA(parent, nullptr, *className ? className : nullptr,
                                *title ? title : nullptr);
    if (window == nullptr) {
        std::printf("found 0\n");
        return 1;
    }
    RECT box = {};
    GetWindowRect(window, &box);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG extendedStyle = GetWindowLongA(window, GWL_EXSTYLE);
    std::printf("found 1\n");
    std::printf("handle %lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    std::printf("rect %ld %ld %ld %ld\n", box.left, box.top, box.right, box.bottom);
    std::printf("style 0x%08lX\n", static_cast<unsigned long>(style));
    std::printf("exstyle 0x%08lX\n", static_cast<unsigned long>(extendedStyle));
    std::printf("topmost %d\n", (extendedStyle & WS_EX_TOPMOST) ? 1 : 0);
    std::printf("visible %d\n", IsWindowVisible(window) ? 1 : 0);
    std::printf("owner %lu\n", static_cast<unsigned long>(
                                   reinterpret_cast<UINT_PTR>(GetWindow(window, GW_OWNER))));
    std::printf("foreground %d\n", GetForegroundWindow() == window ? 1 : 0);
    std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
}

BOOL CALLBACK printMonitor(HMONITOR, HDC, LPRECT rect, LPARAM)
{
    std::printf("monitor %ld %ld %ld %ld\n", rect->left, rect->top, rect->right, rect->bottom);
    return TRUE;
}

RECT virtualScreen()
{
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

int describeScreen()
{
    const RECT whole = virtualScreen();
    std::printf("virtual %ld %ld %ld %ld\n", whole.left, whole.top, whole.right - whole.left,
                whole.bottom - whole.top);
    RECT box = {};
    HDC screen = GetDC(nullptr);
    GetClipBox(screen, &box);
    ReleaseDC(nullptr, screen);
    std::printf("clipbox %ld %ld %ld %ld\n", box.left, box.top, box.right, box.bottom);
    return EnumDisplayMonitors(nullptr, nullptr, printMonitor, 0) ? 0 : 1;
}

int followLayout(const char* handle, const char* monitors, const char* seconds)
{
    HWND window = windowFromText(handle);
    const int wanted = static_cast<int>(number(monitors));
    const DWORD start = GetTickCount();
    const DWORD allowed = static_cast<DWORD>(number(seconds)) * 1000;
    const auto inTime = [start, allowed] { return GetTickCount() - start < allowed; };

    int counted = GetSystemMetrics(SM_CMONITORS);
    std::printf("ready %d\n", counted);
    std::fflush(stdout);
    while (counted != wanted && inTime()) {
        Sleep(100);
        counted = GetSystemMetrics(SM_CMONITORS);
    }
    std::printf("counted %d\n", counted);
    if (counted != wanted)
        return 1;
    describeScreen();

    // What Windows announces: the colour depth and the primary monitor's size.
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const BOOL posted = PostMessageA(window, WM_DISPLAYCHANGE, static_cast<WPARAM>(depth), size);
    std::printf("posted %d\n", posted ? 1 : 0);
    if (!posted)
        return 1;

    const RECT wholeScreen = virtualScreen();
    RECT box = {};
    while (GetWindowRect(window, &box) && !EqualRect(&box, &wholeScreen) && inTime())
        Sleep(100);
    std::printf("rect %ld %ld %ld %ld\n", box.left, box.top, box.right, box.bottom);
    return EqualRect(&box, &wholeScreen) ? 0 : 1;
}

int describeSaverRunning()
{
    BOOL running = FALSE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
        return 1;
    std::printf("running %d\n", running ? 1 : 0);
    return 0;
}

int post(char** argv)
{
    HWND window = windowFromText(argv[0]);
    const BOOL posted = PostMessageA(window, static_cast<UINT>(number(argv[1])),
                                     static_cast<WPARAM>(number(argv[2])),
                                     static_cast<LPARAM>(number(argv[3])));
    std::printf("posted %d\n", posted ? 1 : 0);
    return posted ? 0 : 1;
}

int send(char** argv)
{
    HWND window = windowFromText(argv[0]);
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(window, static_cast<UINT>(number(argv[1])),
                             static_cast<WPARAM>(number(argv[2])),
                             static_cast<LPARAM>(number(argv[3])), SMTO_NORMAL, 10000, &reply))
        return 1;
    std::printf("reply %lu\n", static_cast<unsigned long>(reply));
    return 0;
}

int sendHelp(const char* handle)
{
    HWND window = windowFromText(handle);
    HELPINFO help = {};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    help.iCtrlId = 7;
    help.hItemHandle = window;
    help.dwContextId = 9001;
    GetCursorPos(&help.MousePos);
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help), SMTO_NORMAL,
                             10000, &reply))
        return 1;
    std::printf("reply %lu\n", static_cast<unsigned long>(reply));
    return 0;
}

int sendAutoPlayQuery(const char* handle)
{
    HWND window = windowFromText(handle);
    const UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(window, query, 0, 0, SMTO_NORMAL, 10000, &reply))
        return 1;
    std::printf("reply %lu\n", static_cast<unsigned long>(reply));
    return 0;
}

int sendText(const char* handle, const char* text)
{
    HWND window = windowFromText(handle);
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                             10000, &reply))
        return 1;
    std::printf("reply %lu\n", static_cast<unsigned long>(reply));
    return 0;
}

int show(const char* handle, const char* command)
{
    ShowWindow(windowFromText(handle), static_cast<int>(number(command)));
    std::printf("shown 1\n");
    return 0;
}

// GUID_CONSOLE_DISPLAY_STATE.
constexpr GUID sessionDisplayStatus = {0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};
constexpr GUID monitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

GUID displaySettingOfThisSystem()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwMajorVersion == 6 && version.dwMinorVersion < 2 ? monitorPowerOn : sessionDisplayStatus;
}

bool sendPowerSetting(HWND window, LPARAM setting)
{
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, setting, SMTO_NORMAL, 10000,
                             &reply))
        return false;
    std::printf("reply %lu\n", static_cast<unsigned long>(reply));
    return true;
}

// A power setting of the given GUID holding one DWORD, written into the
// window's process and sent from there.
int sendSettingInWindowProcess(HWND window, const GUID& guid, DWORD value)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr)
        return 1;
    POWERBROADCAST_SETTING setting = {};
    setting.PowerSetting = guid;
    setting.DataLength = sizeof(DWORD);
    unsigned char bytes[sizeof setting + sizeof value] = {};
    std::memcpy(bytes, &setting, sizeof setting);
    std::memcpy(bytes + offsetof(POWERBROADCAST_SETTING, Data), &value, sizeof value);
    void* remote = VirtualAllocEx(process, nullptr, sizeof bytes, MEM_COMMIT, PAGE_READWRITE);
    int result = 1;
    if (remote != nullptr && WriteProcessMemory(process, remote, bytes, sizeof bytes, nullptr) &&
        sendPowerSetting(window, reinterpret_cast<LPARAM>(remote)))
        result = 0;
    if (remote != nullptr)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return result;
}

int sendDisplayPower(const char* handle, const char* state)
{
    return sendSettingInWindowProcess(windowFromText(handle), displaySettingOfThisSystem(),
                                      static_cast<DWORD>(number(state)));
}

// The first page of the address space is never mapped.
constexpr LPARAM junkPointer = 16;

int sendStrayPowerSetting(const char* handle, const char* kind)
{
    HWND window = windowFromText(handle);
    if (std::strcmp(kind, "junk") == 0)
        return sendPowerSetting(window, junkPointer) ? 0 : 1;
    if (std::strcmp(kind, "stranger") == 0)
        return sendSettingInWindowProcess(window, GUID{}, 0);
    return 1;
}

std::string unescapeTabs(std::string text)
{
    for (std::string::size_type at = text.find("\\t"); at != std::string::npos;
         at = text.find("\\t", at + 1))
        text.replace(at, 2, "\t");
    return text;
}

int run(const char* program, const char* tail)
{
    std::string commandLine = std::string("\"") + program + "\" " + unescapeTabs(tail);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("started 0\n");
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("exit %ld\n", static_cast<long>(exitCode));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

BOOL CALLBACK printChildText(HWND child, LPARAM)
{
    char text[1024] = "";
    GetWindowTextA(child, text, sizeof text);
    // One line each: a line break in the text becomes a space.
    for (char* c = text; *c != '\0'; ++c) {
        if (*c == '\r' || *c == '\n')
            *c = ' ';
    }
    std::printf("text %s\n", text);
    return TRUE;
}

int childTexts(const char* handle)
{
    HWND window = windowFromText(handle);
    if (!IsWindow(window))
        return 1;
    EnumChildWindows(window, printChildText, 0);
    return 0;
}

// An empty access list (nobody may do anything) or none at all (everybody
// may do everything). The owner keeps the right to change the list.
int setKeyAccess(const char* subKey, bool locked)
{
    HKEY key = nullptr;
    const LONG opened = locked ? RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, WRITE_DAC, nullptr,
                                                 &key, nullptr)
                               : RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, WRITE_DAC, &key);
    if (opened != ERROR_SUCCESS) {
        std::printf("opened 0\n");
        return 1;
    }
    SECURITY_DESCRIPTOR descriptor;
    ACL emptyList;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&emptyList, sizeof emptyList, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, locked ? &emptyList : nullptr, FALSE);
    const LONG set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    RegCloseKey(key);
    std::printf("set %d\n", set == ERROR_SUCCESS ? 1 : 0);
    return set == ERROR_SUCCESS ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    int result = 1;
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "window") == 0)
        result = describeWindow(argv[2], argv[3],
                                argc == 5 ? windowFromText(argv[4])
                                          : nullptr);
    else if (argc == 2 && std::strcmp(argv[1], "running") == 0)
        result = describeSaverRunning();
    else if (argc == 2 && std::strcmp(argv[1], "screen") == 0)
        result = describeScreen();
    else if (argc == 3 && std::strcmp(argv[1], "help") == 0)
        result = sendHelp(argv[2]);
    else if (argc == 3 && std::strcmp(argv[1], "autoplay") == 0)
        result = sendAutoPlayQuery(argv[2]);
    else if (argc == 4 && std::strcmp(argv[1], "settext") == 0)
        result = sendText(argv[2], argv[3]);
    else if (argc == 3 && std::strcmp(argv[1], "texts") == 0)
        result = childTexts(argv[2]);
    else if (argc == 3 && std::strcmp(argv[1], "lock-key") == 0)
        result = setKeyAccess(argv[2], true);
    else if (argc == 3 && std::strcmp(argv[1], "unlock-key") == 0)
        result = setKeyAccess(argv[2], false);
    else if (argc == 4 && std::strcmp(argv[1], "run") == 0)
        result = run(argv[2], argv[3]);
    else if (argc == 4 && std::strcmp(argv[1], "show") == 0)
        result = show(argv[2], argv[3]);
    else if (argc == 4 && std::strcmp(argv[1], "display-power") == 0)
        result = sendDisplayPower(argv[2], argv[3]);
    else if (argc == 4 && std::strcmp(argv[1], "stray-power-setting") == 0)
        result = sendStrayPowerSetting(argv[2], argv[3]);
    else if (argc == 5 && std::strcmp(argv[1], "follow-layout") == 0)
        result = followLayout(argv[2], argv[3], argv[4]);
    else if (argc == 6 && std::strcmp(argv[1], "post") == 0)
        result = post(argv + 2);
    else if (argc == 6 && std::strcmp(argv[1], "send") == 0)
        result = send(argv + 2);
    else
        std::fprintf(stderr, "usage: saver-probe window CLASS TITLE [PARENT] | running | screen | follow-layout H N S | post H M W L | send H M W L | help H | autoplay H | settext H TEXT | texts H | lock-key SUBKEY | unlock-key SUBKEY | run PROGRAM TAIL | show H N | display-power H STATE | stray-power-setting H junk|stranger\n");
    std::fflush(stdout);
    return result;
}
