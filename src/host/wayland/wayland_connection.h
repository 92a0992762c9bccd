// The connection to the compositor and the globals the host uses: the
// compositor, the shells (the layer shell where offered, xdg-shell), the
// outputs with their places, and the seats' input. Outputs that the
// compositor takes away are marked gone and kept until the host has let
// their surfaces go.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/wayland/output_surface.h"
#include "host/wayland/seat_input.h"
#include "host/wayland/wayland_output.h"
#include "xdg-output-unstable-v1-client-protocol.h"

class WaylandConnection {
public:
    WaylandConnection() = default;
    ~WaylandConnection() { close(); }
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    // Connects to the compositor WAYLAND_DISPLAY names, binds the globals
    // and reads what the outputs say about themselves. Without
    // layerShellWanted the layer shell is left unbound. False with a
    // one-line message when there is no compositor, or it offers no
    // compositor or shell.
    bool open(bool layerShellWanted, std::string& error);
    void close();

    // Until the connection has events (when watched), a stop signal comes,
    // or the time is up (microseconds; negative: no time limit), then reads
    // and dispatches what the connection holds. False when the connection
    // failed (fault() says how).
    bool waitForEvents(std::int64_t microseconds, bool watchConnection);
    std::string fault() const;

    // Whether a seat has had input that ends the program.
    bool endingInput() const;

    // Drops the outputs marked gone; their surfaces must be gone already.
    void forgetGoneOutputs();

    wl_display* display = nullptr;
    SurfaceShells shells;
    std::vector<std::unique_ptr<WaylandOutput>> outputs;

private:
    void addGlobal(std::uint32_t name, const char* interface, std::uint32_t version);
    void removeGlobal(std::uint32_t name);

    static void onGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version);
    static void onGlobalRemove(void* data, wl_registry*, uint32_t name);
    static void onPing(void*, xdg_wm_base* shell, uint32_t serial) { xdg_wm_base_pong(shell, serial); }
    static const wl_registry_listener registryListener;
    static const xdg_wm_base_listener xdgWmBaseListener;

    wl_registry* registry = nullptr;
    bool layerShellWanted = true;
    bool layerShellOffered = false;
    zxdg_output_manager_v1* xdgOutputManager = nullptr;
    std::vector<std::unique_ptr<SeatInput>> seats;
};
