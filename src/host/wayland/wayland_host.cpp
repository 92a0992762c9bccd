// The Wayland host: a surface per output of the connection, the one EGL
// context, and the frame loop that waits on the connection, dispatches its
// events and draws when the shared policy says a frame is due and a
// surface's frame callback has come.
//
// A stop signal wakes the loop's wait through the descriptor it polls beside
// the connection; the loop then ends and releases everything.

#include "host/wayland/wayland_host.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "driver/scene_director.h"
#include "driver/scene_settings.h"
#include "host/fps_readout.h"
#include "host/frame_pacing.h"
#include "host/posix/exit_status.h"
#include "host/posix/monotonic_clock.h"
#include "host/posix/stop_signals.h"
#include "host/wayland/egl_context.h"
#include "host/wayland/output_layout.h"
#include "host/wayland/output_surface.h"
#include "host/wayland/wayland_connection.h"
#include "host/wayland/wayland_output.h"

namespace {

// The compositor tells: a surface it shows gets frame callbacks, one it does
// not show (hidden, or its output powered off) gets none.
constexpr HostNews waylandNews{true, true, 0};

// Set (to anything but empty) to cover the outputs with full-screen
// xdg-shell windows although the compositor offers the layer shell, as on
// desktops that do not offer it.
constexpr const char* noLayerShellVariable = "FLOWBALL_WAYLAND_NO_LAYER_SHELL";

class WaylandHost {
public:
    explicit WaylandHost(const HostOptions& hostOptions)
        : options(hostOptions), pacing(hostOptions.settings.frameRateChoice(), waylandNews)
    {
    }

    int run()
    {
        const char* noLayerShell = std::getenv(noLayerShellVariable);
        std::string error;
        if (!connection.open(noLayerShell == nullptr || noLayerShell[0] == '\0', error) ||
            !egl.open(connection.display, error)) {
            std::fprintf(stderr, "flowball: %s\n", error.c_str());
            release();
            return exitFailed;
        }
        applySettings(options.settings);
        const int status = loop();
        release();
        return status;
    }

private:
    int loop()
    {
        while (stopSignalled() == 0) {
            if (endedByUser())
                return exitEnded;
            followOutputs();
            if (!prepareSurfaces())
                return exitFailed;
            if (!sceneStarted)
                startScene();
            const Sleep sleep = drawOrChooseSleep();
            if (!connection.waitForEvents(sleep.microseconds, sleep.watchConnection)) {
                std::fprintf(stderr, "flowball: %s\n", connection.fault().c_str());
                return exitFailed;
            }
        }
        return exitEnded;
    }

    // How the loop sleeps next: how long (microseconds; negative: until
    // told), and whether the connection's input ends it.
    struct Sleep {
        std::int64_t microseconds;
        bool watchConnection;
    };

    // Draws a frame when one is due and a surface may draw, else says how
    // long to sleep.
    Sleep drawOrChooseSleep()
    {
        if (!sceneStarted)
            return {-1, true};
        const std::int64_t now = monotonicMicroseconds();
        if (anySurfaceCanDraw()) {
            // Only a surface whose frame callback has come asks the policy:
            // one that waits for its callback is not hidden, and asking then
            // would restart the schedule after every frame.
            const FrameDecision decision = pacing.next(now, PictureState{});
            switch (decision.action) {
            case FrameDecision::Action::drawNow:
                drawOnReadySurfaces(now);
                // Lets a stop signal in without waiting.
                return {0, true};
            case FrameDecision::Action::waitFor:
                // Nothing the compositor sends meanwhile (buffer releases,
                // other surfaces' callbacks) brings the frame forward: read
                // when it is due. Input waits at most a period.
                return {decision.microseconds, false};
            case FrameDecision::Action::waitUntilTold:
                break;
            }
            return {-1, true};
        }
        // The callbacks come by the time the next frame is due when every
        // output refreshes faster than that (FrameRate low on a 60 Hz
        // display): sleeping until then without watching the connection
        // saves a wake-up per frame for each callback. Input waits at most
        // that long.
        const std::int64_t due = pacing.microsecondsUntilDue(now);
        const std::int64_t refresh = slowestRefreshMicroseconds();
        if (refresh > 0 && due >= refresh)
            return {due, false};
        // Until a callback (or a configure, or input) comes.
        return {-1, true};
    }

    // Surfaces for the outputs the compositor has described, each once;
    // surfaces the compositor closed and those of outputs that went are let
    // go, and then those outputs.
    void followOutputs()
    {
        for (auto it = surfaces.begin(); it != surfaces.end();) {
            if ((*it)->closed || (*it)->output.gone) {
                (*it)->destroy(egl);
                it = surfaces.erase(it);
            } else {
                ++it;
            }
        }
        connection.forgetGoneOutputs();
        for (const std::unique_ptr<WaylandOutput>& output : connection.outputs) {
            if (output->covered || !output->described())
                continue;
            output->covered = true;
            surfaces.push_back(std::make_unique<OutputSurface>(connection.shells, *output));
        }
    }

    bool prepareSurfaces()
    {
        for (const std::unique_ptr<OutputSurface>& surface : surfaces) {
            if (!surface->prepare(egl)) {
                std::fprintf(stderr, "flowball: EGL cannot draw on the surface (error 0x%04x)\n",
                             unsigned(eglGetError()));
                return false;
            }
        }
        return true;
    }

    // The scene is built once, on the first surface ready to draw, for that
    // surface's window.
    void startScene()
    {
        for (const std::unique_ptr<OutputSurface>& surface : surfaces) {
            if (!surface->canDraw() || !surface->makeCurrent(egl))
                continue;
            const SurfacePart part = partOf(*surface);
            readViewportLimit();
            showWindowPart(part.partLeft, part.partBottom, part.scale);
            initGlState(part.windowWidth, part.windowHeight);
            viewsWidth = part.windowWidth;
            viewsHeight = part.windowHeight;
            sceneStarted = true;
            return;
        }
    }

    bool anySurfaceCanDraw() const
    {
        return std::any_of(surfaces.begin(), surfaces.end(),
                           [](const std::unique_ptr<OutputSurface>& surface) { return surface->canDraw(); });
    }

    // The surface's rectangle in the logical layout: where its output lies,
    // as large as the compositor made the surface.
    static ScreenRect placeOf(const OutputSurface& surface)
    {
        const ScreenRect output = surface.output.logicalRect();
        return {output.left, output.top, output.left + surface.width(), output.top + surface.height()};
    }

    // The surfaces' places are kept in a member, so that a frame allocates
    // nothing once it has seen as many surfaces.
    SurfacePart partOf(const OutputSurface& surface)
    {
        places.clear();
        for (const std::unique_ptr<OutputSurface>& each : surfaces)
            places.push_back(placeOf(*each));
        const ScreenRect bounds = outputBounds(places.data(), int(places.size()));
        return surfacePart(options.settings.monitorsChoice(), placeOf(surface), bounds, surface.scale());
    }

    // One step of the scene, drawn on every surface whose frame callback has
    // come.
    void drawOnReadySurfaces(std::int64_t now)
    {
        advanceFrame();
        if (options.showFps)
            fps.frameDrawn(now);
        for (const std::unique_ptr<OutputSurface>& surface : surfaces) {
            if (!surface->canDraw() || !surface->makeCurrent(egl))
                continue;
            const SurfacePart part = partOf(*surface);
            if (part.windowWidth != viewsWidth || part.windowHeight != viewsHeight) {
                resizeViews(part.windowWidth, part.windowHeight);
                viewsWidth = part.windowWidth;
                viewsHeight = part.windowHeight;
            }
            showWindowPart(part.partLeft, part.partBottom, part.scale);
            drawCurrentFrame();
            if (options.showFps)
                fps.draw(surface->width() * surface->scale(), surface->height() * surface->scale());
            surface->present(egl);
        }
    }

    bool endedByUser() const
    {
        return connection.endingInput() ||
               std::any_of(surfaces.begin(), surfaces.end(),
                           [](const std::unique_ptr<OutputSurface>& surface) { return surface->closeRequested; });
    }

    // The longest time between refreshes of the outputs covered; 0 when
    // one of them did not say.
    std::int64_t slowestRefreshMicroseconds() const
    {
        std::int64_t slowest = 0;
        for (const std::unique_ptr<OutputSurface>& surface : surfaces) {
            const std::int64_t interval = surface->output.refreshMicroseconds();
            if (interval <= 0)
                return 0;
            slowest = std::max(slowest, interval);
        }
        return slowest;
    }

    void release()
    {
        if (sceneStarted) {
            // With the context current on a surface, or on none where the
            // last output has gone.
            if (!surfaces.empty())
                surfaces.front()->makeCurrent(egl);
            releaseSceneResources();
        }
        for (const std::unique_ptr<OutputSurface>& surface : surfaces)
            surface->destroy(egl);
        surfaces.clear();
        egl.close();
        connection.close();
    }

    const HostOptions& options;
    FramePacing pacing;
    FpsReadout fps;
    // The connection before the surfaces: a surface refers to its output.
    WaylandConnection connection;
    std::vector<std::unique_ptr<OutputSurface>> surfaces;
    std::vector<ScreenRect> places;
    EglContext egl;
    bool sceneStarted = false;
    // The window size the views are laid out for.
    int viewsWidth = 0;
    int viewsHeight = 0;
};

}  // namespace

bool waylandAnswers()
{
    // A session names its compositor; without a name, wl_display_connect
    // would try "wayland-0", which may belong to a compositor beside an X
    // session.
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const char* socket = std::getenv("WAYLAND_SOCKET");
    if ((name == nullptr || name[0] == '\0') && (socket == nullptr || socket[0] == '\0'))
        return false;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return false;
    wl_display_disconnect(display);
    return true;
}

int runWaylandHost(const HostOptions& options)
{
    WaylandHost host(options);
    return host.run();
}
