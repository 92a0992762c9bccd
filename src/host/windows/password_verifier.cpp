#include "host/windows/password_verifier.h"

#include "host/windows/registry_settings.h"
#include "host/windows/run_modes.h"
#include "host/windows/saver_host_state.h"

void loadPasswordVerifier()
{
    if (!saverHostState.isWin9x)
        return;
    if (saverHostState.passwordModule != nullptr)
        unloadPasswordVerifier();

    HKEY desktop = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS)
        return;

    if (registryFlagOn(desktop, "ScreenSaveUsePassword")) {
        saverHostState.passwordModule = LoadLibraryA("PASSWORD.CPL");
        if (saverHostState.passwordModule != nullptr) {
            saverHostState.verifyPassword = reinterpret_cast<VerifyScreenSavePwdProc>(
                reinterpret_cast<void*>(
                    GetProcAddress(saverHostState.passwordModule, "VerifyScreenSavePwd")));
            if (saverHostState.verifyPassword != nullptr)
                setSaverRunning(TRUE);
            else
                unloadPasswordVerifier();
        }
    }
    RegCloseKey(desktop);
}

void unloadPasswordVerifier()
{
    if (!saverHostState.isWin9x || saverHostState.passwordModule == nullptr)
        return;
    FreeLibrary(saverHostState.passwordModule);
    saverHostState.passwordModule = nullptr;
    if (saverHostState.verifyPassword != nullptr) {
        saverHostState.verifyPassword = nullptr;
        setSaverRunning(FALSE);
    }
}

BOOL verifyPasswordToClose(HWND window)
{
    if (saverHostState.checkingPassword || saverHostState.closeAllowed)
        return FALSE;
    if (saverHostState.verifyPassword == nullptr) {
        saverHostState.closeAllowed = TRUE;
        return TRUE;
    }
    if (passwordCheckThrottled(saverHostState.lastCheckTick, GetTickCount()))
        return FALSE;

    saverHostState.checkingPassword = TRUE;
    // Frames queued before the dialog would otherwise pile up behind it.
    MSG stale;
    PeekMessageA(&stale, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&stale, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    const LRESULT accepted = SendMessageA(window, WM_APP, 0, 0);
    saverHostState.closeAllowed = accepted != 0 ? TRUE : FALSE;
    saverHostState.checkingPassword = FALSE;
    if (!saverHostState.closeAllowed)
        SetCursor(nullptr);
    saverHostState.lastCheckTick = GetTickCount();
    return saverHostState.closeAllowed;
}
