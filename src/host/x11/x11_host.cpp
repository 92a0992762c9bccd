// The X11 host: the window and its GLX context, the frame loop that waits on
// the X connection, dispatches its events and draws when the shared policy
// says a frame is due.
//
// The ending signals are blocked except while the loop waits (ppoll), so a
// signal always lands between frames and wakes the wait at once.

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/scene_director.h"
#include "driver/scene_settings.h"
#include "host/fps_readout.h"
#include "host/frame_pacing.h"
#include "host/posix/exit_status.h"
#include "host/posix/stop_signals.h"
#include "host/x11/gl_window.h"
#include "host/x11/monitor_follower.h"
#include "host/posix/options.h"
#include "host/x11/picture_visibility.h"
#include "host/posix/stop_signals.h"
#include "host/x11/x11_host.h"
#include "host/x11/x_errors.h"

namespace {

// X sends the window's own map and visibility events, but the display's
// power must be asked for.
constexpr HostNews x11News{false, false, 0};

std::int64_t monotonicMicroseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

class FrameLoop {
public:
    FrameLoop(GlWindow& target, const HostOptions& options, const sigset_t& waiting)
        : window(target), showFps(options.showFps), pacing(options.settings.frameRateChoice(), x11News),
          waitMask(waiting),
          monitors(target, options)
    {
        visibility.watch(window.display, window.window, window.mapped);
        monitors.start();
    }

    void run()
    {
        while (!stopSignalled() && !ended) {
            handlePendingEvents();
            if (stopSignalled() || ended)
                break;
            const std::int64_t now = monotonicMicroseconds();
            const PictureState picture = visibility.picture(now);
            const FrameDecision decision = pacing.next(now, picture);
            switch (decision.action) {
            case FrameDecision::Action::drawNow:
                drawOneFrame(now);
                // Lets a pending signal in without waiting, when frames take
                // longer than their period.
                waitForEvents(0);
                break;
            case FrameDecision::Action::waitFor:
                waitForEvents(decision.microseconds);
                break;
            case FrameDecision::Action::waitUntilTold:
                waitForEvents(-1);
                break;
            }
        }
    }

private:
    void handlePendingEvents()
    {
        while (!ended && XPending(window.display) > 0) {
            XEvent event;
            XNextEvent(window.display, &event);
            handleEvent(event);
        }
        if (watchedWindowLost())
            ended = true;
    }

    void handleEvent(XEvent& event)
    {
        visibility.handleEvent(event);
        switch (event.type) {
        case ConfigureNotify:
            if (event.xconfigure.window == window.window)
                onResize(event.xconfigure.width, event.xconfigure.height);
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window.window)
                ended = true;
            break;
        case ClientMessage:
            if (window.ownsWindow && Atom(event.xclient.data.l[0]) == window.deleteWindowAtom)
                ended = true;
            break;
        case KeyPress:
            if (window.ownsWindow && isEndingKey(event.xkey))
                ended = true;
            break;
        default:
            break;
        }
        monitors.handleEvent(event);
    }

    static bool isEndingKey(XKeyEvent& key)
    {
        const KeySym symbol = XLookupKeysym(&key, 0);
        return symbol == XK_Escape || symbol == XK_q;
    }

    void onResize(int width, int height)
    {
        if (width == window.width && height == window.height)
            return;
        window.width = width;
        window.height = height;
        resizeViews(width, height);
    }

    void drawOneFrame(std::int64_t now)
    {
        drawFrame();
        if (showFps) {
            fps.frameDrawn(now);
            fps.draw(window.width, window.height);
        }
        window.swapBuffers();
    }

    // Until the X connection has input, a signal arrives, or the time is up;
    // a negative time waits for either of the first two alone.
    void waitForEvents(std::int64_t microseconds)
    {
        pollfd connection = {ConnectionNumber(window.display), POLLIN, 0};
        const timespec timeout = {time_t(microseconds / 1000000), long(microseconds % 1000000) * 1000};
        ppoll(&connection, 1, microseconds < 0 ? nullptr : &timeout, &waitMask);
    }

    GlWindow& window;
    bool showFps;
    FramePacing pacing;
    PictureVisibility visibility;
    FpsReadout fps;
    sigset_t waitMask;
    MonitorFollower monitors;
    bool ended = false;
};

}  // namespace

int runX11Host(const HostOptions& options, const sigset_t& waitMask)
{
    GlWindow window;
    std::string error;
    if (!window.open(options, error)) {
        std::fprintf(stderr, "flowball: %s\n", error.c_str());
        return exitFailed;
    }
    window.setSwapInterval(options.settings.frameRateChoice() == FrameRate::display ? 1 : 0);

    applySettings(options.settings);
    readViewportLimit();
    initGlState(window.width, window.height);
    FrameLoop loop(window, options, waitMask);
    loop.run();
    releaseSceneResources();
    window.close();
    return exitEnded;
}
