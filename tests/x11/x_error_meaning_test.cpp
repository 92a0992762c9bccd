// Which X errors mean that the window the program draws in is gone: only
// those that say the window no longer exists, and never about the root
// window, which cannot go. Everything else is a failure the program reports.
#include <gtest/gtest.h>

#include <X11/Xproto.h>
// After Xproto.h, which defines the protocol types it uses.
#include <GL/glxproto.h>

#include <vector>

#include "host/x11/x_error_meaning.h"

namespace {

constexpr Window root = 0x1e3;
constexpr Window given = 0x1200003;
constexpr Window parent = 0x1200001;
constexpr Window other = 0x1400007;
constexpr int glxBase = 160;

const DrawnWindow givenWindow{given, true, glxBase};
const DrawnWindow rootWindow{root, false, glxBase};
const std::vector<Window> ancestors{parent};

XErrorEvent error(unsigned char code, Window resource, unsigned char request = X_GetWindowAttributes)
{
    XErrorEvent event = {};
    event.type = 0;
    event.error_code = code;
    event.resourceid = resource;
    event.request_code = request;
    return event;
}

struct Case {
    const char* name;
    XErrorEvent error;
    DrawnWindow drawn;
    XErrorMeaning expected;
};

const Case cases[] = {
    {"BadWindow on the given window", error(BadWindow, given), givenWindow, XErrorMeaning::windowGone},
    {"BadDrawable on the given window", error(BadDrawable, given, X_GetGeometry), givenWindow,
     XErrorMeaning::windowGone},
    {"GLX's BadDrawable on the given window", error(glxBase + GLXBadDrawable, given, glxBase), givenWindow,
     XErrorMeaning::windowGone},
    {"GLX's BadWindow on the given window", error(glxBase + GLXBadWindow, given, glxBase), givenWindow,
     XErrorMeaning::windowGone},
    {"BadMatch on the given window", error(BadMatch, given, X_ChangeWindowAttributes), givenWindow,
     XErrorMeaning::failure},
    {"BadAccess on the given window", error(BadAccess, given, X_ChangeWindowAttributes), givenWindow,
     XErrorMeaning::failure},
    {"BadWindow on another window", error(BadWindow, other), givenWindow, XErrorMeaning::failure},
    {"BadAlloc", error(BadAlloc, 0, X_CreatePixmap), givenWindow, XErrorMeaning::failure},
    {"a GLX error while GLX's codes are unknown", error(glxBase + GLXBadDrawable, given, glxBase),
     {given, true, -1}, XErrorMeaning::failure},
    {"BadWindow on the root in -root mode", error(BadWindow, root), rootWindow, XErrorMeaning::failure},
    {"BadDrawable on the root in -root mode", error(BadDrawable, root, X_GetGeometry), rootWindow,
     XErrorMeaning::failure},
    {"BadMatch on the root in -root mode", error(BadMatch, root, X_ChangeWindowAttributes), rootWindow,
     XErrorMeaning::failure},
    {"BadWindow on an ancestor that vanished", error(BadWindow, parent, X_QueryTree), givenWindow,
     XErrorMeaning::passing},
    {"BadMatch on an ancestor", error(BadMatch, parent, X_ChangeWindowAttributes), givenWindow,
     XErrorMeaning::failure},
};

TEST(XErrorMeaning, OnlyTheDrawnWindowsDisappearanceIsTheWindowGone)
{
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(meaningOfXError(each.error, each.drawn, ancestors), each.expected);
    }
}

}  // namespace
