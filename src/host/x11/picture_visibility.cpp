#include "host/x11/picture_visibility.h"

#include <X11/extensions/dpms.h>

void PictureVisibility::watch(Display* target, Window watched, bool isMapped)
{
    display = target;
    window = watched;
    viewability.watch(display, window, isMapped);
    fullyObscured = false;
    int eventBase = 0;
    int errorBase = 0;
    hasPowerControl = DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
    powerRead = false;
}

void PictureVisibility::handleEvent(const XEvent& event)
{
    viewability.handleEvent(event);
    // A window that becomes viewable again hears its state anew.
    if (event.type == VisibilityNotify && event.xvisibility.window == window)
        fullyObscured = event.xvisibility.state == VisibilityFullyObscured;
}

PictureState PictureVisibility::picture(std::int64_t now)
{
    if (!viewability.viewable() || fullyObscured)
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
