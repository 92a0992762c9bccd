// One output of the compositor: its wl_output and, where the compositor
// offers xdg-output, its place in the logical layout. Sizes and positions are
// logical pixels (top-left origin, y down); modes are the output's pixels.
#pragma once

#include <wayland-client.h>

#include <cstdint>

#include "animation/monitor_layout.h"
#include "xdg-output-unstable-v1-client-protocol.h"

class WaylandOutput {
public:
    // Binds the output the registry announced as registryName.
    WaylandOutput(wl_registry* registry, std::uint32_t registryName, std::uint32_t version);
    ~WaylandOutput();
    WaylandOutput(const WaylandOutput&) = delete;
    WaylandOutput& operator=(const WaylandOutput&) = delete;

    // Asks for the output's logical place; without it the place is the
    // wl_output's position and its mode over its scale.
    void watchLogicalPlace(zxdg_output_manager_v1* manager);

    // Whether the compositor has described the output: its mode and scale,
    // and its logical place when that was asked for.
    bool described() const;

    // The output's rectangle in the logical layout.
    ScreenRect logicalRect() const;

    // Drawable pixels per logical pixel, at least 1.
    int scale() const { return outputScale; }

    // The time between two of the output's refreshes, in microseconds; 0
    // when the compositor did not say.
    std::int64_t refreshMicroseconds() const { return refreshMillihertz > 0 ? 1000000000 / refreshMillihertz : 0; }

    // Whether a surface of the host's is over the output: one at a time.
    bool hasSurface = false;
    // The compositor took the output away: its surface goes, then the
    // output.
    bool gone = false;

    const std::uint32_t registryName;
    wl_output* output;

private:
    static const wl_output_listener outputListener;
    static const zxdg_output_v1_listener xdgOutputListener;
    static void onGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
                           const char*, int32_t outputTransform);
    static void onMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t refresh);
    static void onDone(void* data, wl_output*);
    static void onScale(void* data, wl_output*, int32_t factor);
    static void onName(void*, wl_output*, const char*) {}
    static void onDescription(void*, wl_output*, const char*) {}
    static void onLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y);
    static void onLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height);
    static void onXdgOutputDone(void*, zxdg_output_v1*);
    static void onXdgOutputName(void*, zxdg_output_v1*, const char*) {}
    static void onXdgOutputDescription(void*, zxdg_output_v1*, const char*) {}

    std::uint32_t boundVersion;
    zxdg_output_v1* xdgOutput = nullptr;
    bool doneSeen = false;
    bool modeSeen = false;
    // wl_output's transform of the picture on the output.
    int transform = 0;
    int outputScale = 1;
    int positionX = 0;
    int positionY = 0;
    int modeWidth = 0;
    int modeHeight = 0;
    std::int64_t refreshMillihertz = 0;
    int logicalX = 0;
    int logicalY = 0;
    int logicalWidth = 0;
    int logicalHeight = 0;
};
