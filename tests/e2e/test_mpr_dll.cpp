// A password changer for the end-to-end tests, built as MPR.DLL and loaded in
// place of the system's through wine's DLL override. PwdChangePasswordA logs
// its arguments to the file change-password.log in the folder named by the
// environment variable FLOWBALL_E2E_DIR, as
//   PwdChangePasswordA key=KEY window=W param1=P1 param2=P2
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR registryKey, HWND window,
                                                                  DWORD param1, DWORD param2)
{
    const char* folder = std::getenv("FLOWBALL_E2E_DIR");
    const std::string path = std::string(folder ? folder : ".") + "\\change-password.log";
    FILE* log = std::fopen(path.c_str(), "a");
    if (log != nullptr) {
        std::fprintf(log, "PwdChangePasswordA key=%s window=%lu param1=%lu param2=%lu\n",
                     registryKey ? registryKey : "(null)",
                     static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
                     static_cast<unsigned long>(param1), static_cast<unsigned long>(param2));
        std::fclose(log);
    }
    return 0;
}
