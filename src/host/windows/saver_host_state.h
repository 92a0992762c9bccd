// The host's process-wide record: module, window, mode and closing flags, the
// password verifier, the AutoPlay message, the cursor anchor and the
// input-method state. One instance, zero at process start except the movement
// threshold (4 pixels) and the time of the last password check (none yet).
//
// Cursor positions are screen pixels; ticks are GetTickCount milliseconds.
#pragma once

#include <windows.h>
#include <imm.h>

#include "host/dismissal_rules.h"

// "VerifyScreenSavePwd" of "PASSWORD.CPL": non-zero when the password typed in
// its own dialog was accepted.
using VerifyScreenSavePwdProc = BOOL(WINAPI*)(HWND window);

// "ImmAssociateContext" of "IMM32.DLL": gives the window a new input context
// and answers the one it had.
using ImmAssociateContextProc = HIMC(WINAPI*)(HWND window, HIMC context);

class SaverHostState {
public:
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    BOOL isPreview = FALSE;
    BOOL closeAllowed = FALSE;
    BOOL checkingPassword = FALSE;
    HMODULE passwordModule = nullptr;
    VerifyScreenSavePwdProc verifyPassword = nullptr;
    UINT autoPlayMessage = 0;
    BOOL isWin9x = FALSE;

    POINT cursorAnchor = {0, 0};
    DWORD moveThreshold = defaultMoveThreshold;
    DWORD lastCheckTick = noCheckYet;
    HMODULE imeModule = nullptr;
    ImmAssociateContextProc associateContext = nullptr;
    HIMC savedInputContext = nullptr;
};

extern SaverHostState saverHostState;
