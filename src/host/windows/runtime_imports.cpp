// Two wide-character calls of the compiler's runtime, answered here so that
// flowball.scr does not import them: Windows 9x exports only failing stubs for
// most wide-character functions, or none at all.
//
//   CreateSemaphoreW  the runtime's thread-model mutexes, always unnamed
//   GetModuleHandleW  its locale helper, for "msvcrt.dll"
//
// The runtime calls them through import pointers (__imp__NAME@BYTES); with the
// pointers defined in the program, the linker takes these and adds no import.
// Each passes the call on to the ANSI function, which every Windows has.
#include <windows.h>

namespace {

HANDLE WINAPI createSemaphoreAnsi(LPSECURITY_ATTRIBUTES attributes, LONG initialCount,
                                  LONG maximumCount, LPCWSTR name)
{
    if (name != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateSemaphoreA(attributes, initialCount, maximumCount, nullptr);
}

// Module names the runtime asks for are ASCII: anything else is refused.
HMODULE WINAPI getModuleHandleAnsi(LPCWSTR name)
{
    if (name == nullptr)
        return GetModuleHandleA(nullptr);
    char narrow[MAX_PATH];
    int length = 0;
    for (; name[length] != L'\0'; ++length) {
        if (length + 1 == MAX_PATH || name[length] > 0x7F) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        narrow[length] = static_cast<char>(name[length]);
    }
    narrow[length] = '\0';
    return GetModuleHandleA(narrow);
}

}  // namespace

extern "C" {

decltype(&createSemaphoreAnsi) createSemaphoreWImport __asm__("__imp__CreateSemaphoreW@16") =
    createSemaphoreAnsi;
decltype(&getModuleHandleAnsi) getModuleHandleWImport __asm__("__imp__GetModuleHandleW@4") =
    getModuleHandleAnsi;

}
