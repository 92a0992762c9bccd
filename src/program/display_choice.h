// Which display the program draws on. The X11 modes (--root, --window-id,
// XSCREENSAVER_WINDOW) belong to the X11 screen-saver daemon and always mean
// X11; --wayland and --x11 force one; otherwise Wayland where a compositor
// answers, X11 where an X display is named, and neither when there is
// neither.
#pragma once

#include "host/posix/options.h"

enum class DisplayKind { wayland, x11, none };

// waylandAnswers is asked only when the choice depends on it (it connects
// to the compositor); x11Display is the value of DISPLAY, or nullptr.
DisplayKind chooseDisplay(const HostOptions& options, bool (*waylandAnswers)(), const char* x11Display);

// The one message for no display at all.
const char* noDisplayMessage();
