// The Wayland host: the compositor's globals, a surface per output, the one
// EGL context, and the frame loop that waits on the connection, dispatches
// its events and draws when the shared policy says a frame is due and a
// surface's frame callback has come.
//
// A stop signal wakes the loop's wait through the descriptor it polls beside
// the connection; the loop then ends and releases everything.

#include "host/wayland/wayland_host.h"

#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
#include "host/wayland/seat_input.h"
#include "host/wayland/wayland_output.h"

namespace {

// The compositor tells: a surface it shows gets frame callbacks, one it does
// not show (hidden, or its output powered off) gets none.
constexpr HostNews waylandNews{true, true, 0};

// The versions the host speaks; a compositor's older ones are taken as
// they are.
constexpr std::uint32_t compositorVersion = 4;
constexpr std::uint32_t windowShellVersion = 2;
constexpr std::uint32_t layerShellVersion = 4;
constexpr std::uint32_t placeManagerVersion = 3;

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
        std::string error;
        if (!connect(error) || !egl.open(display, error)) {
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
            if (!waitForEvents(sleep.microseconds, sleep.watchConnection)) {
                std::fprintf(stderr, "flowball: %s\n", connectionFault().c_str());
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
                return {decision.microseconds, true};
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

    bool connect(std::string& error)
    {
        display = wl_display_connect(nullptr);
        if (display == nullptr) {
            error = "cannot connect to the Wayland compositor " + displayName();
            return false;
        }
        const char* noLayerShell = std::getenv(noLayerShellVariable);
        layerShellWanted = noLayerShell == nullptr || noLayerShell[0] == '\0';
        registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &registryListener, this);
        // The globals, then what the outputs say about themselves.
        if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
            error = connectionFault();
            return false;
        }
        if (shells.compositor == nullptr) {
            error = "the Wayland compositor offers no wl_compositor";
            return false;
        }
        if (shells.layerShell == nullptr && shells.windowShell == nullptr) {
            error = "the Wayland compositor offers neither the layer shell nor xdg-shell";
            return false;
        }
        return true;
    }

    static std::string displayName()
    {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        return std::string("'") + (name != nullptr && name[0] != '\0' ? name : "wayland-0") + "'";
    }

    std::string connectionFault() const
    {
        const int code = display != nullptr ? wl_display_get_error(display) : 0;
        if (code == EPROTO) {
            const wl_interface* interface = nullptr;
            std::uint32_t id = 0;
            const std::uint32_t fault = wl_display_get_protocol_error(display, &interface, &id);
            return std::string("the Wayland compositor refused a request (") +
                   (interface != nullptr ? interface->name : "unknown object") + " error " + std::to_string(fault) +
                   ")";
        }
        return "the Wayland compositor went away" + (code != 0 ? std::string(" (") + std::strerror(code) + ")" : "");
    }

    // Surfaces for the outputs the compositor has described, each once;
    // surfaces the compositor closed are let go.
    void followOutputs()
    {
        for (auto it = surfaces.begin(); it != surfaces.end();) {
            if ((*it)->closed) {
                (*it)->destroy(egl);
                it = surfaces.erase(it);
            } else {
                ++it;
            }
        }
        for (const std::unique_ptr<WaylandOutput>& output : outputs) {
            if (output->covered || !output->described())
                continue;
            output->covered = true;
            surfaces.push_back(std::make_unique<OutputSurface>(shells, *output));
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
        const bool byInput = std::any_of(seats.begin(), seats.end(),
                                         [](const std::unique_ptr<SeatInput>& seat) { return seat->ended(); });
        const bool byClose =
            std::any_of(surfaces.begin(), surfaces.end(),
                        [](const std::unique_ptr<OutputSurface>& surface) { return surface->closeRequested; });
        return byInput || byClose;
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

    // Until the connection has events (when watched), a stop signal comes,
    // or the time is up (microseconds; negative: no time limit), then reads
    // and dispatches what the connection holds. False when the connection
    // failed.
    bool waitForEvents(std::int64_t microseconds, bool watchConnection = true)
    {
        const timespec timeout = {time_t(microseconds / 1000000), long(microseconds % 1000000) * 1000};
        if (!watchConnection) {
            wl_display_flush(display);
            pollfd stopWake = {stopSignalWakeDescriptor(), POLLIN, 0};
            ppoll(&stopWake, 1, &timeout, nullptr);
            return waitForEvents(0);
        }
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return false;
        }
        // A full socket (EAGAIN) drains as the compositor reads; the next
        // wait flushes the rest.
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        pollfd inputs[] = {{wl_display_get_fd(display), POLLIN, 0}, {stopSignalWakeDescriptor(), POLLIN, 0}};
        ppoll(inputs, 2, microseconds < 0 ? nullptr : &timeout, nullptr);
        if ((inputs[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            if (wl_display_read_events(display) < 0)
                return false;
        } else {
            wl_display_cancel_read(display);
        }
        return wl_display_dispatch_pending(display) >= 0;
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
        seats.clear();
        outputs.clear();
        if (placeManager != nullptr)
            zxdg_output_manager_v1_destroy(placeManager);
#ifdef FLOWBALL_LAYER_SHELL
        if (shells.layerShell != nullptr)
            zwlr_layer_shell_v1_destroy(shells.layerShell);
#endif
        if (shells.windowShell != nullptr)
            xdg_wm_base_destroy(shells.windowShell);
        if (shells.compositor != nullptr)
            wl_compositor_destroy(shells.compositor);
        if (registry != nullptr)
            wl_registry_destroy(registry);
        if (display != nullptr) {
            wl_display_flush(display);
            wl_display_disconnect(display);
        }
        display = nullptr;
    }

    void addGlobal(std::uint32_t name, const char* interface, std::uint32_t version)
    {
        const auto bind = [&](const wl_interface* kind, std::uint32_t highest) {
            return wl_registry_bind(registry, name, kind, std::min(version, highest));
        };
        if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
            shells.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, compositorVersion));
        } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
            shells.windowShell = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, windowShellVersion));
            xdg_wm_base_add_listener(shells.windowShell, &windowShellListener, this);
#ifdef FLOWBALL_LAYER_SHELL
        } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && layerShellWanted) {
            shells.layerShell =
                static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, layerShellVersion));
#endif
        } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
            placeManager =
                static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, placeManagerVersion));
            for (const std::unique_ptr<WaylandOutput>& output : outputs)
                output->watchLogicalPlace(placeManager);
        } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
            outputs.push_back(std::make_unique<WaylandOutput>(registry, name, version));
            outputs.back()->watchLogicalPlace(placeManager);
        } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
            seats.push_back(std::make_unique<SeatInput>(registry, name, version));
        }
    }

    void removeGlobal(std::uint32_t name)
    {
        for (auto it = surfaces.begin(); it != surfaces.end();) {
            if ((*it)->output.registryName == name) {
                (*it)->destroy(egl);
                it = surfaces.erase(it);
            } else {
                ++it;
            }
        }
        outputs.erase(std::remove_if(outputs.begin(), outputs.end(),
                                     [name](const std::unique_ptr<WaylandOutput>& output) {
                                         return output->registryName == name;
                                     }),
                      outputs.end());
        seats.erase(std::remove_if(
                        seats.begin(), seats.end(),
                        [name](const std::unique_ptr<SeatInput>& seat) { return seat->registryName == name; }),
                    seats.end());
    }

    static void onGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version)
    {
        static_cast<WaylandHost*>(data)->addGlobal(name, interface, version);
    }
    static void onGlobalRemove(void* data, wl_registry*, uint32_t name)
    {
        static_cast<WaylandHost*>(data)->removeGlobal(name);
    }
    static void onPing(void*, xdg_wm_base* shell, uint32_t serial) { xdg_wm_base_pong(shell, serial); }

    static const wl_registry_listener registryListener;
    static const xdg_wm_base_listener windowShellListener;

    const HostOptions& options;
    FramePacing pacing;
    FpsReadout fps;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    bool layerShellWanted = true;
    SurfaceShells shells;
    zxdg_output_manager_v1* placeManager = nullptr;
    // Outputs before surfaces: a surface refers to its output.
    std::vector<std::unique_ptr<WaylandOutput>> outputs;
    std::vector<std::unique_ptr<OutputSurface>> surfaces;
    std::vector<std::unique_ptr<SeatInput>> seats;
    std::vector<ScreenRect> places;
    EglContext egl;
    bool sceneStarted = false;
    // The window size the views are laid out for.
    int viewsWidth = 0;
    int viewsHeight = 0;
};

const wl_registry_listener WaylandHost::registryListener = {onGlobal, onGlobalRemove};
const xdg_wm_base_listener WaylandHost::windowShellListener = {onPing};

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
