// The platform's password verifier on Windows 9x: "VerifyScreenSavePwd" of
// "PASSWORD.CPL", loaded for the full-screen saver when the user has
// "ScreenSaveUsePassword" set, and asked before the saver may close.
#pragma once

#include <windows.h>

// Full-screen mode only, before the window exists. Windows 9x only; a missing
// registry value, module or export leaves closing unguarded.
void loadPasswordVerifier();

// Frees the verifier and lowers the saver-running flag that loading raised.
void unloadPasswordVerifier();

// Non-zero when the saver may close now. Asks the verifier (through WM_APP to
// the window) at most once every 200 ms, never while a check is running, and
// never again once closing was allowed.
BOOL verifyPasswordToClose(HWND window);
