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
#include "host/wayland/compositor_address.h"
#include "host/wayland/egl_context.h"
#include "host/wayland/output_layout.h"
#include "host/wayland/output_surface.h"
#include "host/wayland/wayland_connection.h"
#include "host/wayland/wayland_output.h"

namespace {

// The compositor tells of each frame shown by a frame callback; a surface it
// does not show (hidden, or its output powered off) gets none.
constexpr HostPacingTraits waylandTraits{true, true, 0, true};

// Set (to anything but empty) to cover the outputs with full-screen
// xdg-shell windows although the compositor offers the layer shell, as on
// desktops that do not offer it.
constexpr const char* noLayerShellVariable = "FLOWBALL_WAYLAND_NO_LAYER_SHELL";

class WaylandHost {
public:
    explicit WaylandHost(const HostOptions& hostOptions)
        : options(hostOptions), pacing(hostOptions.settings.frameRateChoice(), waylandTraits)
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
            if (!outputsLeft() || !prepareSurfaces() || (!sceneStarted && !startScene()))
                return exitFailed;
            Sleep sleep;
            if (!drawOrChooseSleep(sleep))
                return exitFailed;
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

    // Draws a frame when one is due and a surface may draw, and says how
    // long to sleep. False (with the message written) when EGL failed.
    bool drawOrChooseSleep(Sleep& sleep)
    {
        // Until a callback (or a configure, or input) comes.
        sleep = {-1, true};
        if (!sceneStarted)
            return true;
        const std::int64_t now = monotonicMicroseconds();
        const FrameDecision decision = pacing.next(now, pictureState());
        switch (decision.action) {
        case FrameDecision::Action::drawNow:
            // Lets a stop signal in without waiting.
            sleep = {0, true};
            return drawOnReadySurfaces(now);
        case FrameDecision::Action::waitFor:
            // Nothing the compositor sends meanwhile (buffer releases,
            // frame callbacks) brings the frame forward: read when it is
            // due. Input waits at most a period.
            sleep = {decision.microseconds, false};
            return true;
        case FrameDecision::Action::waitUntilTold:
            break;
        }
        return true;
    }

    // A surface whose frame callback has come (or that has drawn nothing
    // yet) is seen; the compositor sends none to one it does not show.
    PictureState pictureState() const
    {
        PictureState picture;
        picture.canBeSeen = anySurfaceCanDraw();
        picture.refreshMicroseconds = slowestRefreshMicroseconds();
        return picture;
    }

    // A surface for each output the compositor has described; surfaces the
    // compositor closed and those of outputs that went are let go, and then
    // those outputs. An output still there gets a new surface: a closed
    // layer surface is not shown again, and the output would stay uncovered.
    void followOutputs()
    {
        for (auto it = surfaces.begin(); it != surfaces.end();) {
            if ((*it)->closed || (*it)->output.gone) {
                (*it)->output.hasSurface = false;
                (*it)->destroy(egl);
                it = surfaces.erase(it);
            } else {
                ++it;
            }
        }
        connection.forgetGoneOutputs();
        for (const std::unique_ptr<WaylandOutput>& output : connection.outputs) {
            if (output->hasSurface || !output->described())
                continue;
            output->hasSurface = true;
            surfaces.push_back(std::make_unique<OutputSurface>(connection.shells, *output));
        }
    }

    // With every output gone nothing shows, and a saver that seems to show
    // would keep the idle watcher from starting the next one.
    bool outputsLeft() const
    {
        if (!connection.outputs.empty())
            return true;
        std::fprintf(stderr, "flowball: the Wayland compositor has no output left to cover\n");
        return false;
    }

    bool prepareSurfaces()
    {
        for (const std::unique_ptr<OutputSurface>& surface : surfaces) {
            if (!surface->prepare(egl))
                return eglFailed("draw on");
        }
        return true;
    }

    // EGL failing on a surface leaves that output without frames (a frame
    // not presented brings no callback): the program ends rather than show
    // a picture that stopped.
    static bool eglFailed(const char* what)
    {
        std::fprintf(stderr, "flowball: EGL cannot %s an output's surface (EGL error 0x%04x)\n", what,
                     unsigned(eglGetError()));
        return false;
    }

    // The scene is built once, on the first surface ready to draw, for that
    // surface's window. False when the context cannot be made current.
    bool startScene()
    {
        for (const std::unique_ptr<OutputSurface>& surface : surfaces) {
            if (!surface->canDraw())
                continue;
            if (!surface->makeCurrent(egl))
                return eglFailed("make the context current on");
            const SurfacePart part = partOf(*surface);
            readViewportLimit();
            showWindowPart(part.partLeft, part.partBottom, part.scale);
            initGlState(part.windowWidth, part.windowHeight);
            viewsWidth = part.windowWidth;
            viewsHeight = part.windowHeight;
            sceneStarted = true;
            return true;
        }
        return true;
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
    // come. False when EGL failed on one.
    bool drawOnReadySurfaces(std::int64_t now)
    {
        advanceFrame();
        if (options.showFps)
            fps.frameDrawn(now);
        for (const std::unique_ptr<OutputSurface>& surface : surfaces) {
            if (!surface->canDraw())
                continue;
            if (!surface->makeCurrent(egl))
                return eglFailed("make the context current on");
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
            if (!surface->present(egl))
                return eglFailed("present a frame on");
        }
        return true;
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
    // A handed-over connection serves the one connect that takes it: it
    // means Wayland without trying it.
    if (connectionHandedOver())
        return true;
    if (!compositorNamed())
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
