// What an X protocol error means for the program, decided from the error
// alone so that a test can ask about a made-up one.
#pragma once

#include <X11/Xlib.h>

enum class XErrorMeaning {
    // The window the program draws in is gone: it ends as for the window's
    // DestroyNotify.
    windowGone,
    // Reported on stderr; the program goes on.
    reported,
};

XErrorMeaning meaningOfXError(const XErrorEvent& error, Window watchedWindow);
