#include "host/wayland/wayland_connection.h"

#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/posix/monotonic_clock.h"
#include "host/posix/stop_signals.h"
#include "host/wayland/compositor_address.h"
#include "host/wayland/event_read.h"

namespace {

// The versions the host speaks; a compositor's older ones are taken as
// they are.
constexpr std::uint32_t compositorVersion = 4;
constexpr std::uint32_t xdgWmBaseVersion = 2;
constexpr std::uint32_t layerShellVersion = 4;
constexpr std::uint32_t xdgOutputManagerVersion = 3;

}  // namespace

const wl_registry_listener WaylandConnection::registryListener = {onGlobal, onGlobalRemove};
const xdg_wm_base_listener WaylandConnection::xdgWmBaseListener = {onPing};

bool WaylandConnection::open(bool layerShell, std::string& error)
{
    display = wl_display_connect(nullptr);
    if (display == nullptr) {
        error = cannotConnectMessage(errno);
        return false;
    }
    layerShellWanted = layerShell;
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, this);
    // The globals, then what the outputs say about themselves.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
        error = fault();
        return false;
    }
    if (shells.compositor == nullptr) {
        error = "the Wayland compositor offers no wl_compositor";
        return false;
    }
    if (shells.layerShell == nullptr && shells.xdgWmBase == nullptr) {
        error = layerShellOffered ? "the Wayland compositor offers no xdg-shell, and its layer shell is turned "
                                    "down (FLOWBALL_WAYLAND_NO_LAYER_SHELL)"
                                  : "the Wayland compositor offers neither the layer shell nor xdg-shell";
        return false;
    }
    return true;
}

void WaylandConnection::close()
{
    seats.clear();
    outputs.clear();
    if (xdgOutputManager != nullptr)
        zxdg_output_manager_v1_destroy(xdgOutputManager);
    xdgOutputManager = nullptr;
#ifdef FLOWBALL_LAYER_SHELL
    if (shells.layerShell != nullptr)
        zwlr_layer_shell_v1_destroy(shells.layerShell);
#endif
    if (shells.xdgWmBase != nullptr)
        xdg_wm_base_destroy(shells.xdgWmBase);
    if (shells.compositor != nullptr)
        wl_compositor_destroy(shells.compositor);
    shells = SurfaceShells{};
    if (registry != nullptr)
        wl_registry_destroy(registry);
    registry = nullptr;
    if (display != nullptr) {
        wl_display_flush(display);
        wl_display_disconnect(display);
    }
    display = nullptr;
}

std::string WaylandConnection::fault() const { return connectionFault(display); }

bool WaylandConnection::waitForEvents(std::int64_t microseconds, bool watchConnection)
{
    const timespec timeout = timespecOfMicroseconds(microseconds);
    if (!watchConnection) {
        wl_display_flush(display);
        pollfd stopWake = {stopSignalWakeDescriptor(), POLLIN, 0};
        ppoll(&stopWake, 1, &timeout, nullptr);
        return waitForEvents(0, true);
    }
    pollfd inputs[] = {{wl_display_get_fd(display), 0, 0}, {stopSignalWakeDescriptor(), POLLIN, 0}};
    if (!beginEventRead(display, inputs[0].events))
        return false;
    ppoll(inputs, 2, microseconds < 0 ? nullptr : &timeout, nullptr);
    return endEventRead(display, inputs[0].revents);
}

bool WaylandConnection::endingInput() const
{
    return std::any_of(seats.begin(), seats.end(),
                       [](const std::unique_ptr<SeatInput>& seat) { return seat->ended(); });
}

void WaylandConnection::forgetGoneOutputs()
{
    outputs.erase(std::remove_if(outputs.begin(), outputs.end(),
                                 [](const std::unique_ptr<WaylandOutput>& output) { return output->gone; }),
                  outputs.end());
}

void WaylandConnection::addGlobal(std::uint32_t name, const char* interface, std::uint32_t version)
{
    const auto bind = [&](const wl_interface* kind, std::uint32_t highest) {
        return wl_registry_bind(registry, name, kind, std::min(version, highest));
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        shells.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, compositorVersion));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        shells.xdgWmBase = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, xdgWmBaseVersion));
        xdg_wm_base_add_listener(shells.xdgWmBase, &xdgWmBaseListener, this);
#ifdef FLOWBALL_LAYER_SHELL
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        layerShellOffered = true;
        if (layerShellWanted)
            shells.layerShell =
                static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, layerShellVersion));
#endif
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        xdgOutputManager =
            static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, xdgOutputManagerVersion));
        for (const std::unique_ptr<WaylandOutput>& output : outputs)
            output->watchLogicalPlace(xdgOutputManager);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        outputs.push_back(std::make_unique<WaylandOutput>(registry, name, version));
        outputs.back()->watchLogicalPlace(xdgOutputManager);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        seats.push_back(std::make_unique<SeatInput>(registry, name, version));
    }
}

void WaylandConnection::removeGlobal(std::uint32_t name)
{
    for (const std::unique_ptr<WaylandOutput>& output : outputs) {
        if (output->registryName == name)
            output->gone = true;
    }
    seats.erase(std::remove_if(seats.begin(), seats.end(),
                               [name](const std::unique_ptr<SeatInput>& seat) { return seat->registryName == name; }),
                seats.end());
}

void WaylandConnection::onGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version)
{
    static_cast<WaylandConnection*>(data)->addGlobal(name, interface, version);
}

void WaylandConnection::onGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    static_cast<WaylandConnection*>(data)->removeGlobal(name);
}
