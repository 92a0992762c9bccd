// The saver window's procedures. saverWindowProc is the class's procedure: it
// takes the host's share of each message (cursor hiding, input-method detach,
// refused system commands, no frames once closing is allowed) and passes the
// rest to the scene's ScreenSaverProc. DefScreenSaverProc is what the scene
// calls for the messages it leaves: it applies the dismissal rules and hands
// everything else to DefWindowProcA.
//
// WM_APP sent to the window asks DefScreenSaverProc to run the password
// verifier; the reply is the verifier's answer.
#pragma once

#include <windows.h>

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
