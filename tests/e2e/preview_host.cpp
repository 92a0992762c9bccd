// A stand-in for the preview in the system's screen-saver settings: a window
// with a small preview area, and the saver started as "SAVER /p HANDLE" to
// draw inside that area. Closing the window destroys the area, which ends the
// saver; the host then exits with the saver's exit code.
//
//   preview-host.exe [--log FILE] [SAVER]
//
// SAVER defaults to flowball.scr beside this program. With --log, the host
// appends one line per event to FILE, for the end-to-end tests:
//   host H / preview H          the window handles, as decimal numbers
//   saver-started PID           the saver process
//   message NAME wparam W       a help or context-menu request that reached
//                               the preview area
//   helpinfo size S type T control C item I context X at X Y
//                               the HELPINFO that came with a help request
//   saver-exit CODE             the saver's exit code, after the area is gone
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char hostClassName[] = "FlowballPreviewHost";
constexpr char areaClassName[] = "FlowballPreviewArea";
constexpr int areaWidth = 304;  // twice the settings dialog's preview size
constexpr int areaHeight = 224;
constexpr int margin = 16;
constexpr DWORD saverExitWaitMs = 15000;

std::string logPath;
PROCESS_INFORMATION saver = {};

void logLine(const char* format, unsigned long value)
{
    if (logPath.empty())
        return;
    FILE* log = std::fopen(logPath.c_str(), "a");
    if (log == nullptr)
        return;
    std::fprintf(log, format, value);
    std::fputc('\n', log);
    std::fclose(log);
}

unsigned long handleNumber(HWND window)
{
    return static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window));
}

std::string besideThisProgram(const char* fileName)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    const std::string::size_type slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return folder + fileName;
}

bool startSaver(const std::string& saverPath, HWND area)
{
    std::string commandLine = "\"" + saverPath + "\" /p " + std::to_string(handleNumber(area));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(saverPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &saver))
        return false;
    logLine("saver-started %lu", saver.dwProcessId);
    return true;
}

void logHelpInfo(const HELPINFO* help)
{
    if (logPath.empty() || help == nullptr)
        return;
    FILE* log = std::fopen(logPath.c_str(), "a");
    if (log == nullptr)
        return;
    std::fprintf(log, "helpinfo size %u type %d control %d item %lu context %lu at %ld %ld\n",
                 help->cbSize, help->iContextType, help->iCtrlId,
                 handleNumber(static_cast<HWND>(help->hItemHandle)),
                 static_cast<unsigned long>(help->dwContextId), help->MousePos.x,
                 help->MousePos.y);
    std::fclose(log);
}

LRESULT CALLBACK areaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HELP:
        logLine("message help wparam %lu", static_cast<unsigned long>(wParam));
        logHelpInfo(reinterpret_cast<const HELPINFO*>(lParam));
        return TRUE;
    case WM_CONTEXTMENU:
        logLine("message contextmenu wparam %lu", static_cast<unsigned long>(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool registerClasses(HINSTANCE instance)
{
    WNDCLASSA host = {};
    host.lpfnWndProc = hostProc;
    host.hInstance = instance;
    host.hCursor = LoadCursor(nullptr, IDC_ARROW);
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    host.lpszClassName = hostClassName;

    WNDCLASSA area = {};
    area.lpfnWndProc = areaProc;
    area.hInstance = instance;
    area.hCursor = LoadCursor(nullptr, IDC_ARROW);
    area.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    area.lpszClassName = areaClassName;
    return RegisterClassA(&host) && RegisterClassA(&area);
}

void parseArguments(std::string& saverPath)
{
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--log") == 0 && i + 1 < __argc)
            logPath = __argv[++i];
        else
            saverPath = __argv[i];
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    std::string saverPath = besideThisProgram("flowball.scr");
    parseArguments(saverPath);
    if (!registerClasses(instance))
        return 2;

    RECT frame = {0, 0, areaWidth + 2 * margin, areaHeight + 2 * margin};
    const DWORD hostStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, hostStyle, FALSE);
    HWND host = CreateWindowA(hostClassName, "Flowball preview host", hostStyle, 40, 40,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, instance, nullptr);
    HWND previewArea = CreateWindowA(areaClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                margin, margin, areaWidth, areaHeight, host, nullptr, instance,
                                nullptr);
    if (host == nullptr || previewArea == nullptr)
        return 2;
    logLine("host %lu", handleNumber(host));
    logLine("preview %lu", handleNumber(previewArea));
    ShowWindow(host, showCommand);
    UpdateWindow(host);

    if (!startSaver(saverPath, previewArea))
        return 2;

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    // The area went with the host window; the saver sees its window destroyed
    // and ends by itself.
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(saver.hProcess, saverExitWaitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(saver.hProcess, &exitCode);
    logLine("saver-exit %lu", exitCode);
    CloseHandle(saver.hThread);
    CloseHandle(saver.hProcess);
    return static_cast<int>(exitCode);
}
