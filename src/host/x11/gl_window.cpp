#include "host/x11/gl_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

#include "host/x11/x_errors.h"
#include "settings/setting_options.h"

namespace {

// Structure and visibility changes say when the picture can be seen.
constexpr long ownWindowEvents = StructureNotifyMask | VisibilityChangeMask | KeyPressMask;
// On a window another program owns we only learn its size, whether it can
// be seen, and its end; its keys and clicks belong to that program.
constexpr long givenWindowEvents = StructureNotifyMask | VisibilityChangeMask;

std::string hex(unsigned long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

bool hasExtension(const char* extensions, const char* name)
{
    const std::size_t length = std::strlen(name);
    for (const char* at = extensions; at != nullptr && *at != '\0';) {
        const char* end = std::strchr(at, ' ');
        const std::size_t wordLength = end != nullptr ? std::size_t(end - at) : std::strlen(at);
        if (wordLength == length && std::strncmp(at, name, length) == 0)
            return true;
        if (end == nullptr)
            break;
        at = end + 1;
    }
    return false;
}

}  // namespace

bool GlWindow::open(const HostOptions& options, std::string& error)
{
    display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = XDisplayName(nullptr);
        error = "cannot open the X display " + quotedArgument(name != nullptr ? name : "");
        return false;
    }
    installXErrorHandlers();
    int eventBase = 0;
    if (!glXQueryExtension(display, &glxErrorBase, &eventBase)) {
        error = std::string("the X display ") + DisplayString(display) + " has no GLX extension";
        close();
        return false;
    }

    bool made = false;
    switch (options.mode) {
    case HostMode::ownWindow:
        made = createOwnWindow(error);
        break;
    case HostMode::rootWindow:
        made = adoptWindow(DefaultRootWindow(display), false, error);
        break;
    case HostMode::givenWindow:
        made = adoptWindow(Window(options.windowId), true, error);
        break;
    }
    if (!made) {
        close();
        return false;
    }
    return true;
}

bool GlWindow::createOwnWindow(std::string& error)
{
    // The saver's pixel format: RGBA, double-buffered, 24 colour and 16
    // depth bits.
    int attributes[] = {GLX_RGBA,      GLX_DOUBLEBUFFER, GLX_RED_SIZE,   8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE, 8,                GLX_DEPTH_SIZE, 16, None};
    const int screen = DefaultScreen(display);
    XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
    if (visual == nullptr) {
        error = "no double-buffered RGBA visual with a depth buffer on this display";
        return false;
    }
    const Window root = RootWindow(display, screen);
    colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap = colormap;
    windowAttributes.background_pixel = BlackPixel(display, screen);
    windowAttributes.border_pixel = 0;
    windowAttributes.event_mask = ownWindowEvents;
    window = XCreateWindow(display, root, 0, 0, ownWindowWidth, ownWindowHeight, 0, visual->depth, InputOutput,
                           visual->visual, CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
                           &windowAttributes);
    ownsWindow = true;
    width = ownWindowWidth;
    height = ownWindowHeight;
    watchDrawnWindow({window, true, glxErrorBase});

    XStoreName(display, window, "Flowball");
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    XChangeProperty(display, window, netName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>("Flowball"), 8);
    XClassHint classHint = {const_cast<char*>("flowball"), const_cast<char*>("Flowball")};
    XSetClassHint(display, window, &classHint);
    deleteWindowAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindowAtom, 1);
    XMapWindow(display, window);

    const bool made = createContext(visual, error);
    XFree(visual);
    return made;
}

bool GlWindow::adoptWindow(Window target, bool canDisappear, std::string& error)
{
    watchDrawnWindow({target, canDisappear, glxErrorBase});
    // Selected before the state is read, so that no change falls between the
    // two: a daemon maps its window about when it starts the program. Adds
    // our interest to the window's own; other clients' selections stay.
    XSelectInput(display, target, givenWindowEvents);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, target, &attributes) || xErrorEnding() == XErrorEnding::windowGone) {
        error = "no window " + hex(target) + " on the X display " + DisplayString(display);
        return false;
    }
    window = target;
    width = attributes.width;
    height = attributes.height;
    mapped = attributes.map_state != IsUnmapped;

    XVisualInfo wanted = {};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    int usesGl = 0;
    int rgba = 0;
    int doubleBuffered = 0;
    if (visual != nullptr) {
        glXGetConfig(display, visual, GLX_USE_GL, &usesGl);
        glXGetConfig(display, visual, GLX_RGBA, &rgba);
        glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubleBuffered);
    }
    if (visual == nullptr || !usesGl || !rgba || !doubleBuffered) {
        error = "window " + hex(target) + "'s visual " + hex(wanted.visualid) +
                " has no double-buffered RGBA OpenGL";
        if (visual != nullptr)
            XFree(visual);
        return false;
    }
    const bool made = createContext(visual, error);
    XFree(visual);
    return made;
}

bool GlWindow::createContext(XVisualInfo* visual, std::string& error)
{
    context = glXCreateContext(display, visual, nullptr, True);
    if (context == nullptr) {
        error = "cannot create an OpenGL context";
        return false;
    }
    if (!glXMakeCurrent(display, window, context)) {
        error = "cannot make the OpenGL context current on window " + hex(window);
        return false;
    }
    return true;
}

bool GlWindow::setSwapInterval(int interval)
{
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (hasExtension(extensions, "GLX_EXT_swap_control")) {
        const auto swapInterval = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (swapInterval != nullptr) {
            swapInterval(display, window, interval);
            return true;
        }
    }
    if (hasExtension(extensions, "GLX_MESA_swap_control")) {
        const auto swapInterval = reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (swapInterval != nullptr)
            return swapInterval(unsigned(interval)) == 0;
    }
    return false;
}

void GlWindow::close()
{
    if (display == nullptr)
        return;
    if (context != nullptr) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
        context = nullptr;
    }
    if (ownsWindow && window != 0 && xErrorEnding() != XErrorEnding::windowGone)
        XDestroyWindow(display, window);
    if (colormap != 0)
        XFreeColormap(display, colormap);
    XCloseDisplay(display);
    display = nullptr;
    window = 0;
    colormap = 0;
}
