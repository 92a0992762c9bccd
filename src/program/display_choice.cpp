#include "program/display_choice.h"

DisplayKind chooseDisplay(const HostOptions& options, bool (*waylandAnswers)(), const char* x11Display)
{
    if (options.mode != HostMode::ownWindow)
        return DisplayKind::x11;
    switch (options.display) {
    case DisplayRequest::wayland:
        return DisplayKind::wayland;
    case DisplayRequest::x11:
        return DisplayKind::x11;
    case DisplayRequest::any:
        break;
    }
    if (waylandAnswers())
        return DisplayKind::wayland;
    if (x11Display != nullptr && x11Display[0] != '\0')
        return DisplayKind::x11;
    return DisplayKind::none;
}

const char* noDisplayMessage()
{
    return "no display: no Wayland compositor answers (WAYLAND_DISPLAY) and no X display is named (DISPLAY)";
}
