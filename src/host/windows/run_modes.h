// The process entry and the run modes: full-screen saving, the preview inside
// a parent window, the configuration dialog and (Windows 9x) the password
// change. Results are the process exit code: 0 or 1 from the dialog, 0 from a
// window's quit message, -1 for a refused command line.
#pragma once

#include <windows.h>

// Reads the command line and ends the process with the chosen mode's result.
[[noreturn]] void saverMain();

// The mode dispatcher. previousInstance and showCommand are not used.
int runSaverMode(HINSTANCE instance, HINSTANCE previousInstance, const char* commandTail,
                 int showCommand);

// The decimal window handle at the start of text; null when there are no digits.
HWND parseWindowHandle(const char* text);

// Windows 9x only: raises or lowers the system's saver-running flag, which
// keeps the system keys away while the password is in force.
void setSaverRunning(BOOL running);

// Creates the saver window (a child of parent for the preview, full-screen
// without one) and runs the message loop; answers the quit code.
int runSaverWindow(HWND parent);

int runPreview(const char* text);
int runConfigureDialog(HWND parent);
int runChangePassword(const char* text);
void changePassword(HWND window);
