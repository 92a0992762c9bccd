// The X11 host's frame loop: it reads the display's events and hands each
// to its handler, asks the shared frame-loop policy (host/frame_pacing.h)
// what to do next, and draws a frame or sleeps on the connection.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "host/fps_readout.h"
#include "host/frame_pacing.h"
#include "host/posix/options.h"
#include "host/x11/gl_window.h"
#include "host/x11/monitor_follower.h"
#include "host/x11/picture_visibility.h"

class FrameLoop {
public:
    // The window must be open, with its context current and the scene
    // built.
    FrameLoop(GlWindow& target, const HostOptions& options);

    // Until a key or the window manager closes our own window, the window
    // is gone, an X error fails the program, or a stop signal comes.
    // Answers the exit status (exit_status.h).
    int run();

private:
    void dispatchPendingEvents();
    void dispatch(XEvent& event);
    void onConfigure(const XConfigureEvent& event);
    void onDestroy(const XDestroyWindowEvent& event);
    void onClientMessage(const XClientMessageEvent& event);
    void onKeyPress(XKeyEvent& event);

    void drawOneFrame(std::int64_t now);
    void sleep(const FrameDecision& decision);
    bool ending() const;
    bool windowGone();

    GlWindow& window;
    bool showFps;
    FramePacing pacing;
    PictureVisibility visibility;
    FpsReadout fps;
    MonitorFollower monitors;
    // By a key or the window manager's close request.
    bool ended = false;
    bool windowDestroyed = false;
};
