// flowball: the scene on an X display, drawn with OpenGL through GLX.
//
// The recipe: read the command line, block the ending signals, open the
// window and its context, build the scene, run frames until something ends
// the program, release the scene's GL objects, the context and the window.
//
// The ending signals are blocked except while the loop waits (ppoll), so a
// signal always lands between frames and wakes the wait at once. After the
// cleanup the program ends by that same signal.

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
#include "host/frame_schedule.h"
#include "host/x11/gl_window.h"
#include "host/x11/monitor_follower.h"
#include "host/x11/options.h"
#include "host/x11/picture_visibility.h"
#include "host/x11/signal_ending.h"
#include "host/x11/x_errors.h"

namespace {

constexpr int exitFailed = 1;
constexpr int exitBadCommandLine = 2;

// The signal that asked the program to end, 0 while none has.
volatile sig_atomic_t stopSignalled = 0;
void onStopSignal(int signalNumber) { stopSignalled = signalNumber; }

const int stopSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Blocks the ending signals for the whole process (threads started later,
// the GL driver's among them, inherit the mask) and installs their handler.
// Answers the mask to wait with, which lets them through.
sigset_t takeStopSignals()
{
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int signalNumber : stopSignals)
        sigaddset(&blocked, signalNumber);
    sigset_t waiting;
    sigprocmask(SIG_BLOCK, &blocked, &waiting);
    for (int signalNumber : stopSignals)
        sigdelset(&waiting, signalNumber);

    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : stopSignals)
        sigaction(signalNumber, &action, nullptr);
    return waiting;
}

std::int64_t monotonicMicroseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

class FrameLoop {
public:
    FrameLoop(GlWindow& target, const HostOptions& options, const sigset_t& waiting)
        : window(target), showFps(options.showFps), schedule(options.settings.frameRateChoice()), waitMask(waiting),
          monitors(target, options)
    {
        visibility.watch(window.display, window.window, window.mapped);
        monitors.start();
    }

    void run()
    {
        while (!stopSignalled && !ended) {
            handlePendingEvents();
            if (stopSignalled || ended)
                break;
            const std::int64_t now = monotonicMicroseconds();
            // Nobody sees frames drawn now: none are drawn, and the first
            // one once the picture shows again is due at once. The scene's
            // clock runs on, so the picture continues where it would be.
            if (!visibility.canBeSeen(now)) {
                schedule.restart();
                waitForEvents(PictureVisibility::idleCheckMicroseconds);
                continue;
            }
            const std::int64_t wait = schedule.microsecondsUntilDue(now);
            if (wait > 0) {
                waitForEvents(wait);
                continue;
            }
            schedule.frameStarted(now);
            drawOneFrame(now);
            // Lets a pending signal in without waiting, when frames take
            // longer than their period.
            waitForEvents(0);
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

    // Until the X connection has input, a signal arrives, or the time is up.
    void waitForEvents(std::int64_t microseconds)
    {
        pollfd connection = {ConnectionNumber(window.display), POLLIN, 0};
        const timespec timeout = {time_t(microseconds / 1000000), long(microseconds % 1000000) * 1000};
        ppoll(&connection, 1, &timeout, &waitMask);
    }

    GlWindow& window;
    bool showFps;
    FrameSchedule schedule;
    PictureVisibility visibility;
    FpsReadout fps;
    sigset_t waitMask;
    MonitorFollower monitors;
    bool ended = false;
};

}  // namespace

int main(int argc, char** argv)
{
    HostOptions options;
    std::string error;
    if (!parseHostOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), options, error)) {
        std::fprintf(stderr, "flowball: %s\nTry 'flowball --help'.\n", error.c_str());
        return exitBadCommandLine;
    }
    if (options.help) {
        std::fputs(hostUsage().c_str(), stdout);
        return 0;
    }

    const sigset_t waitMask = takeStopSignals();
    GlWindow window;
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
    if (stopSignalled != 0)
        endBySignal(stopSignalled);
    return 0;
}
