#include "host/x11/window_viewability.h"

#include "host/x11/x_errors.h"

void WindowViewability::watch(Display* target, Window watched, bool mapped)
{
    display = target;
    window = watched;
    windowMapped = mapped;
    followAncestors();
}

// Each ancestor's events are selected before its state is read, so no
// change falls between the two. A window that vanishes on the way ends the
// walk; the events about it that follow tell the rest.
void WindowViewability::followAncestors()
{
    ancestors.clear();
    for (Window below = window;;) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int childCount = 0;
        if (!XQueryTree(display, below, &root, &parent, &children, &childCount))
            return;
        if (children != nullptr)
            XFree(children);
        if (parent == 0 || parent == root)
            return;
        watchAncestor(parent);
        XSelectInput(display, parent, StructureNotifyMask);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, parent, &attributes))
            return;
        ancestors.push_back({parent, attributes.map_state != IsUnmapped});
        below = parent;
    }
}

void WindowViewability::handleEvent(const XEvent& event)
{
    switch (event.type) {
    case MapNotify:
        setMapped(event.xmap.window, true);
        break;
    case UnmapNotify:
        setMapped(event.xunmap.window, false);
        break;
    case ReparentNotify:
        if (inChain(event.xreparent.window))
            followAncestors();
        break;
    default:
        break;
    }
}

void WindowViewability::setMapped(Window changed, bool mapped)
{
    if (changed == window)
        windowMapped = mapped;
    for (Ancestor& ancestor : ancestors) {
        if (ancestor.window == changed)
            ancestor.mapped = mapped;
    }
}

bool WindowViewability::inChain(Window candidate) const
{
    if (candidate == window)
        return true;
    for (const Ancestor& ancestor : ancestors) {
        if (ancestor.window == candidate)
            return true;
    }
    return false;
}

bool WindowViewability::viewable() const
{
    if (!windowMapped)
        return false;
    for (const Ancestor& ancestor : ancestors) {
        if (!ancestor.mapped)
            return false;
    }
    return true;
}
