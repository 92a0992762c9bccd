#include "host/windows/run_modes.h"

#include <cstdint>

#include "host/windows/saver_callbacks.h"
#include "host/windows/saver_switches.h"
#include "host/windows/display_monitors.h"
#include "host/windows/fault_guard.h"
#include "host/windows/password_verifier.h"
#include "host/windows/saver_host_state.h"
#include "host/windows/saver_window_proc.h"

namespace {

constexpr char saverClassName[] = "WindowsScreenSaverClass";
constexpr char fullScreenTitle[] = "Screen Saver";
constexpr char previewTitle[] = "Preview";

constexpr WORD iconResource = 100;
constexpr WORD dialogResource = 2003;

constexpr UINT saverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr DWORD fullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD previewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;

// Exit code of a mode that cannot run: an unknown switch, a preview without a
// live parent, a password change outside Windows 9x, a window that could not
// be created.
constexpr int refused = -1;

const char* nextCharacter(const char* text)
{
    return CharNextA(text);
}

bool isLiveWindow(HWND window)
{
    return window != nullptr && IsWindow(window);
}

WNDCLASSA saverWindowClass()
{
    WNDCLASSA windowClass = {};
    windowClass.style = saverClassStyle;
    windowClass.lpfnWndProc = saverWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = saverHostState.instance;
    windowClass.hIcon = LoadIconA(saverHostState.instance, MAKEINTRESOURCEA(iconResource));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = saverClassName;
    return windowClass;
}

struct SaverWindowLayout {
    DWORD extendedStyle = 0;
    DWORD style = 0;
    const char* title = nullptr;
    RECT bounds = {};  // left, top, right, bottom in screen or parent pixels
};

SaverWindowLayout previewLayout(HWND parent)
{
    SaverWindowLayout layout;
    GetClientRect(parent, &layout.bounds);
    layout.bounds.left = 0;
    layout.bounds.top = 0;
    layout.style = previewStyle;
    layout.title = previewTitle;
    return layout;
}

SaverWindowLayout fullScreenLayout()
{
    SaverWindowLayout layout;
    layout.bounds = virtualScreenBounds();
    layout.extendedStyle = WS_EX_TOPMOST;
    layout.style = fullScreenStyle;
    layout.title = fullScreenTitle;
    return layout;
}

// A full-screen saver already running is brought to the front instead of
// starting a second one.
bool raiseRunningSaver()
{
    HWND running = FindWindowA(saverClassName, fullScreenTitle);
    if (!isLiveWindow(running))
        return false;
    SetForegroundWindow(running);
    return true;
}

HWND createSaverWindow(const SaverWindowLayout& layout, HWND parent)
{
    const WNDCLASSA windowClass = saverWindowClass();
    if (!RegisterClassA(&windowClass))
        return nullptr;
    const RECT& box = layout.bounds;
    return CreateWindowExA(layout.extendedStyle, saverClassName, layout.title, layout.style,
                           box.left, box.top, box.right - box.left, box.bottom - box.top,
                           parent, nullptr, saverHostState.instance, nullptr);
}

// The loop ends on WM_QUIT, whose wParam is the quit code. GetMessageA answers
// -1 on failure; that ends the loop too rather than spinning on it.
int runMessageLoop()
{
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int dispatchMode(const char* commandTail)
{
    const SaverCommand command = scanSaverSwitch(commandTail);
    switch (command.mode) {
    case RunMode::dialogWithoutOwner:
        return runConfigureDialog(nullptr);
    case RunMode::fullScreen:
        return runSaverWindow(nullptr);
    case RunMode::dialog: {
        HWND owner = parseWindowHandle(command.argument);
        if (!isLiveWindow(owner))
            owner = GetForegroundWindow();
        return runConfigureDialog(owner);
    }
    case RunMode::preview:
        return runPreview(command.argument);
    case RunMode::changePassword:
        if (!saverHostState.isWin9x)
            return refused;
        return runChangePassword(command.argument);
    case RunMode::unknown:
        break;
    }
    return refused;
}

}  // namespace

void saverMain()
{
    const char* commandTail = skipProgramName(GetCommandLineA(), nextCharacter);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    ExitProcess(static_cast<UINT>(
        runSaverMode(GetModuleHandleA(nullptr), nullptr, commandTail, showCommand)));
}

int runSaverMode(HINSTANCE instance, HINSTANCE, const char* commandTail, int)
{
    saverHostState.instance = instance;

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    saverHostState.isWin9x =
        GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;

    installFaultGuard();
    const int result = dispatchMode(commandTail);
    removeFaultGuard();
    return result;
}

HWND parseWindowHandle(const char* text)
{
    return reinterpret_cast<HWND>(handleFromNumber(parseHandleNumber(text)));
}

void setSaverRunning(BOOL running)
{
    if (!saverHostState.isWin9x)
        return;
    BOOL previous = FALSE;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, static_cast<UINT>(running), &previous, 0);
}

int runSaverWindow(HWND parent)
{
    SaverWindowLayout layout;
    if (parent != nullptr) {
        layout = previewLayout(parent);
        saverHostState.isPreview = TRUE;
    } else {
        layout = fullScreenLayout();
        if (raiseRunningSaver())
            return 0;
        loadPasswordVerifier();
    }
    renderContext.fullScreen = parent == nullptr;

    saverHostState.autoPlayMessage =
        saverHostState.isWin9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    saverHostState.mainWindow = createSaverWindow(layout, parent);
    int result = refused;
    if (saverHostState.mainWindow != nullptr) {
        if (parent == nullptr)
            SetForegroundWindow(saverHostState.mainWindow);
        result = runMessageLoop();
    }

    unloadPasswordVerifier();
    return result;
}

int runPreview(const char* text)
{
    HWND parent = parseWindowHandle(text);
    if (!isLiveWindow(parent))
        return refused;
    return runSaverWindow(parent);
}

int runConfigureDialog(HWND parent)
{
    if (!RegisterDialogClasses(saverHostState.instance))
        return 0;
    return static_cast<int>(DialogBoxParamA(saverHostState.instance,
                                            MAKEINTRESOURCEA(dialogResource), parent,
                                            ScreenSaverConfigureDialog, 0));
}

int runChangePassword(const char* text)
{
    HWND window = parseWindowHandle(text);
    if (!isLiveWindow(window))
        window = GetForegroundWindow();
    changePassword(window);
    return 0;
}

void changePassword(HWND window)
{
    using PwdChangePasswordProc = DWORD(WINAPI*)(LPCSTR registryKey, HWND window, DWORD, DWORD);

    HMODULE passwordProvider = LoadLibraryA("MPR.DLL");
    if (passwordProvider == nullptr)
        return;
    auto changer = reinterpret_cast<PwdChangePasswordProc>(
        reinterpret_cast<void*>(GetProcAddress(passwordProvider, "PwdChangePasswordA")));
    if (changer != nullptr)
        changer("SCRSAVE", window, 0, 0);
    FreeLibrary(passwordProvider);
}
