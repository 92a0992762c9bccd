#include "host/x11/picture_visibility.h"

#include <X11/extensions/dpms.h>

void PictureVisibility::watch(Display* target, Window watched, bool isMapped)
{
    display = target;
    window = watched;
    mapped = isMapped;
    fullyObscured = false;
    int eventBase = 0;
    int errorBase = 0;
    hasPowerControl = DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
    powerRead = false;
}

void PictureVisibility::handleEvent(const XEvent& event)
{
    switch (event.type) {
    case MapNotify:
        if (event.xmap.window == window)
            mapped = true;
        break;
    case UnmapNotify:
        if (event.xunmap.window == window)
            mapped = false;
        break;
    case VisibilityNotify:
        // Only a viewable window gets these: one whose parent was mapped
        // sees no MapNotify of its own, only this.
        if (event.xvisibility.window == window) {
            fullyObscured = event.xvisibility.state == VisibilityFullyObscured;
            mapped = true;
        }
        break;
    default:
        break;
    }
}

PictureState PictureVisibility::picture(std::int64_t now)
{
    if (!mapped || fullyObscured)
        return {false, poweredOn};
    const std::int64_t period = FramePacing::lookAgainMicroseconds;
    if (hasPowerControl && (!powerRead || now - powerReadAt >= period || now < powerReadAt)) {
        poweredOn = displayPoweredOn();
        powerRead = true;
        powerReadAt = now;
    }
    return {true, poweredOn};
}

// Standby and suspend blank the monitor as off does. With DPMS disabled the
// server never powers the display down.
bool PictureVisibility::displayPoweredOn()
{
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!DPMSInfo(display, &level, &enabled))
        return true;
    return !enabled || level == DPMSModeOn;
}
