#include "host/x11/x_error_meaning.h"

#include <X11/Xproto.h>
// After Xproto.h, which defines the protocol types it uses.
#include <GL/glxproto.h>

#include <algorithm>

namespace {

// The errors that say a window no longer exists: Xlib's requests name it as
// a window or a drawable, GLX's as its drawable or its window.
bool saysNoSuchWindow(const XErrorEvent& error, int glxErrorBase)
{
    const int code = error.error_code;
    if (code == BadWindow || code == BadDrawable)
        return true;
    return glxErrorBase >= 0 && (code == glxErrorBase + GLXBadDrawable || code == glxErrorBase + GLXBadWindow);
}

}  // namespace

XErrorMeaning meaningOfXError(const XErrorEvent& error, const DrawnWindow& drawn, const std::vector<Window>& ancestors)
{
    if (drawn.canDisappear && error.resourceid == drawn.window && saysNoSuchWindow(error, drawn.glxErrorBase))
        return XErrorMeaning::windowGone;
    if (error.error_code == BadWindow &&
        std::find(ancestors.begin(), ancestors.end(), error.resourceid) != ancestors.end())
        return XErrorMeaning::passing;
    return XErrorMeaning::failure;
}
