// What an X protocol error means for the program, decided from the error
// alone so that a test can ask about a made-up one.
#pragma once

#include <X11/Xlib.h>

#include <vector>

// The window the program draws in, as the error handler sees it.
struct DrawnWindow {
    Window window = 0;
    // Whether it can go away under the program: a window it was given, or
    // its own. Never the root window.
    bool canDisappear = false;
    // The GLX extension's first error code, -1 while unknown.
    int glxErrorBase = -1;
};

enum class XErrorMeaning {
    // The window the program draws in is gone: it ends with status 0, as
    // for the window's DestroyNotify.
    windowGone,
    // A window above it vanished while the program looked at it: the
    // structure events that follow tell what became of the drawn window.
    passing,
    // Anything else: reported, and the program ends with status 1.
    failure,
};

// ancestors: the windows above the drawn one that the program watches, and
// those it watched before a reparenting.
XErrorMeaning meaningOfXError(const XErrorEvent& error, const DrawnWindow& drawn,
                              const std::vector<Window>& ancestors);
