#include "host/x11/x_error_meaning.h"

XErrorMeaning meaningOfXError(const XErrorEvent& error, Window watchedWindow)
{
    if (watchedWindow != 0 && error.resourceid == watchedWindow)
        return XErrorMeaning::windowGone;
    return XErrorMeaning::reported;
}
