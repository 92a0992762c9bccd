// The X window that the program draws in and its GLX context: its own
// top-level window, the root window, or a window another program made (a
// screen-saver daemon's). Sizes are pixels.
#pragma once

#include <X11/Xlib.h>
#include <GL/glx.h>

#include <string>

#include "host/posix/options.h"

class GlWindow {
public:
    // Connects to the display ($DISPLAY), finds or makes the window, selects
    // the events the host handles on it, creates a GL context and makes it
    // current. On failure everything made so far is undone and error says
    // why.
    bool open(const HostOptions& options, std::string& error);

    // Sets the swap interval where the driver offers one; false when it
    // offers none.
    bool setSwapInterval(int interval);

    void swapBuffers() { glXSwapBuffers(display, window); }

    // Releases the context and destroys the window when it is our own, then
    // closes the connection. The scene's GL resources must be released
    // before.
    void close();

    Display* display = nullptr;
    Window window = 0;
    // True for the program's own top-level window: the only one it closes on
    // a key or on the window manager's request, and destroys at the end.
    bool ownsWindow = false;
    Atom deleteWindowAtom = 0;
    int width = 0;
    int height = 0;
    // Whether the window itself was mapped when opened, whatever its
    // ancestors' state; our own window is not until its MapNotify comes.
    bool mapped = false;

private:
    bool createOwnWindow(std::string& error);
    // canDisappear: false for the root window.
    bool adoptWindow(Window target, bool canDisappear, std::string& error);
    bool createContext(XVisualInfo* visual, std::string& error);

    Colormap colormap = 0;
    GLXContext context = nullptr;
    int glxErrorBase = -1;
};

// The size of the program's own window when it opens.
constexpr int ownWindowWidth = 800;
constexpr int ownWindowHeight = 600;
