// Whether a window is viewable: it and every window above it, up to the
// root, are mapped. X tells a window of its own mapping only; a settings
// program minimised with its preview pane inside unmaps a window above the
// pane, and the pane hears nothing. So the structure events of each
// ancestor are selected too, once at the start and again after a
// reparenting, and the answer comes from the events alone: asking the server
// at each look would cost round trips that wake it more often than the
// events do.
#pragma once

#include <X11/Xlib.h>

#include <vector>

class WindowViewability {
public:
    // The window's own events must be selected already (StructureNotify);
    // windowMapped is its own state, whatever its ancestors'.
    void watch(Display* display, Window window, bool windowMapped);

    // MapNotify, UnmapNotify and ReparentNotify of the window and its
    // ancestors; other events change nothing.
    void handleEvent(const XEvent& event);

    bool viewable() const;

private:
    struct Ancestor {
        Window window;
        bool mapped;
    };

    void followAncestors();
    void setMapped(Window changed, bool mapped);
    bool inChain(Window candidate) const;

    Display* display = nullptr;
    Window window = 0;
    bool windowMapped = false;
    // From the window's parent up to the root's child.
    std::vector<Ancestor> ancestors;
};
