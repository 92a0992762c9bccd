// The settings dialog's procedure: every setting with a standard control,
// filled from the registry when the dialog opens (what the saver will use,
// after validation), written back to the registry by OK; Cancel writes
// nothing and Defaults shows the defaults without writing them.
//
// OK ends the dialog with 1, Cancel (and Escape, and the close box) with 0.
// When OK cannot save, a message box names what failed and the dialog stays
// open.
// The controls are common controls: InitCommonControls must have run.
#pragma once

#include <windows.h>

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
