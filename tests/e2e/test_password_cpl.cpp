// A password verifier for the end-to-end tests, built as PASSWORD.CPL. It
// exports VerifyScreenSavePwd and answers as the test tells it, and it keeps a
// log, both in the folder named by the environment variable
// FLOWBALL_E2E_DIR:
//   verifier-answer   "accept", "refuse", "dialog-accept", "dialog-refuse" or
//                     "crash". The dialog answers first run a modal message
//                     loop for about half a second, as the real verifier's
//                     dialog does, so that the saver's own messages go on
//                     arriving meanwhile. "crash" faults inside the call.
//   verifier.log      one line per event: "loaded", "verify running=R" (R is
//                     the system's saver-running flag during the call),
//                     "answer A", "unloaded" when the saver frees the module,
//                     "detached-at-exit" when the process ended with it loaded.
// Each line is also written to standard error, where it falls in line with
// the wine debug output of the same process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD dialogMs = 500;

std::string inTestFolder(const char* name)
{
    const char* folder = std::getenv("FLOWBALL_E2E_DIR");
    return std::string(folder ? folder : ".") + "\\" + name;
}

void logLine(const char* text)
{
    FILE* log = std::fopen(inTestFolder("verifier.log").c_str(), "a");
    if (log != nullptr) {
        std::fprintf(log, "%s\n", text);
        std::fclose(log);
    }
    std::fprintf(stderr, "flowball-e2e verifier: %s\n", text);
    std::fflush(stderr);
}

std::string answer()
{
    char text[32] = {};
    FILE* file = std::fopen(inTestFolder("verifier-answer").c_str(), "r");
    if (file != nullptr) {
        if (std::fgets(text, sizeof text, file) == nullptr)
            text[0] = '\0';
        std::fclose(file);
    }
    text[std::strcspn(text, "\r\n")] = '\0';
    return text;
}

void runModalLoop()
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < dialogMs) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    logLine(running ? "verify running=1" : "verify running=0");

    const std::string told = answer();
    if (told == "crash") {
        logLine("answer crash");
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    if (told.rfind("dialog-", 0) == 0)
        runModalLoop();
    const bool accepted = told == "accept" || told == "dialog-accept";
    logLine(accepted ? "answer accept" : "answer refuse");
    return accepted ? TRUE : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        logLine("loaded");
    else if (reason == DLL_PROCESS_DETACH)
        logLine(reserved == nullptr ? "unloaded" : "detached-at-exit");
    return TRUE;
}
