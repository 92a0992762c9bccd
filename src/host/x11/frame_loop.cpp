#include "host/x11/frame_loop.h"

#include <X11/keysym.h>

#include "driver/scene_director.h"
#include "host/posix/exit_status.h"
#include "host/posix/monotonic_clock.h"
#include "host/posix/stop_signals.h"
#include "host/x11/loop_wait.h"
#include "host/x11/x_errors.h"

namespace {

// X tells when a hidden window shows again (the map events of the window and
// its ancestors, VisibilityNotify when it is uncovered), but the display's
// power must be asked for.
constexpr HostPacingTraits x11Traits{true, false, 0};

bool isEndingKey(XKeyEvent& key)
{
    const KeySym symbol = XLookupKeysym(&key, 0);
    return symbol == XK_Escape || symbol == XK_q;
}

}  // namespace

FrameLoop::FrameLoop(GlWindow& target, const HostOptions& options)
    : window(target), showFps(options.showFps), pacing(options.settings.frameRateChoice(), x11Traits),
      monitors(target, options)
{
    visibility.watch(window.display, window.window, window.mapped);
    monitors.start();
}

int FrameLoop::run()
{
    while (!ending()) {
        dispatchPendingEvents();
        if (ending())
            break;
        const std::int64_t now = monotonicMicroseconds();
        const FrameDecision decision = pacing.next(now, visibility.picture(now));
        if (decision.action == FrameDecision::Action::drawNow)
            drawOneFrame(now);
        else
            sleep(decision);
    }
    return xErrorEnding() == XErrorEnding::failed && !windowGone() ? exitFailed : exitEnded;
}

// The window's going ends the program with exitEnded whatever errors were
// read along with its DestroyNotify, whether that was dispatched before or
// still waits in the queue: they are the consequences of its going.
bool FrameLoop::windowGone()
{
    XEvent event;
    return windowDestroyed || XCheckTypedWindowEvent(window.display, window.window, DestroyNotify, &event);
}

bool FrameLoop::ending() const
{
    return ended || windowDestroyed || stopSignalled() != 0 || xErrorEnding() != XErrorEnding::none;
}

void FrameLoop::dispatchPendingEvents()
{
    while (!ending() && XPending(window.display) > 0) {
        XEvent event;
        XNextEvent(window.display, &event);
        dispatch(event);
    }
}

void FrameLoop::dispatch(XEvent& event)
{
    switch (event.type) {
    case MapNotify:
    case UnmapNotify:
    case ReparentNotify:
    case VisibilityNotify:
        visibility.handleEvent(event);
        break;
    case ConfigureNotify:
        onConfigure(event.xconfigure);
        break;
    case DestroyNotify:
        onDestroy(event.xdestroywindow);
        break;
    case ClientMessage:
        onClientMessage(event.xclient);
        break;
    case KeyPress:
        onKeyPress(event.xkey);
        break;
    default:
        break;
    }
    // RandR's events have types of their own, known only at run time.
    monitors.handleEvent(event);
}

void FrameLoop::onConfigure(const XConfigureEvent& event)
{
    if (event.window != window.window || (event.width == window.width && event.height == window.height))
        return;
    window.width = event.width;
    window.height = event.height;
    resizeViews(event.width, event.height);
}

void FrameLoop::onDestroy(const XDestroyWindowEvent& event)
{
    if (event.window == window.window)
        windowDestroyed = true;
}

void FrameLoop::onClientMessage(const XClientMessageEvent& event)
{
    if (window.ownsWindow && Atom(event.data.l[0]) == window.deleteWindowAtom)
        ended = true;
}

// Keys reach only our own window: a given window's keys are its owner's.
void FrameLoop::onKeyPress(XKeyEvent& event)
{
    if (window.ownsWindow && isEndingKey(event))
        ended = true;
}

void FrameLoop::drawOneFrame(std::int64_t now)
{
    drawFrame();
    if (showFps) {
        fps.frameDrawn(now);
        fps.draw(window.width, window.height);
    }
    window.swapBuffers();
}

void FrameLoop::sleep(const FrameDecision& decision)
{
    const int queued = XEventsQueued(window.display, QueuedAlready);
    const std::int64_t microseconds = sleepMicroseconds(decision, queued);
    if (microseconds != 0)
        sleepOnConnection(ConnectionNumber(window.display), stopSignalWakeDescriptor(), microseconds);
}
