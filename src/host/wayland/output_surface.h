// The full-screen surface over one output, and its EGL surface.
//
// Where the compositor offers the layer shell, the surface is an overlay
// layer surface anchored to all edges, exclusive zone -1 (it covers panels
// too) and exclusive keyboard interactivity (keys come here): it stacks
// above full-screen windows and leaves them as they were. Elsewhere it is an
// xdg-shell toplevel set full screen on that output.
//
// Sizes are logical pixels as the compositor configures them; the surface
// draws at its output's scale, so at the output's own pixel size. The
// surface draws only when its previous frame's callback has come: a surface
// the compositor does not show gets none and so draws nothing.
#pragma once

#include <wayland-client.h>
#include <wayland-egl.h>

#include "host/wayland/egl_context.h"
#include "host/wayland/layer_shell.h"
#include "host/wayland/wayland_output.h"
#include "xdg-shell-client-protocol.h"

// The shells a surface can be made with; layerShell may be null.
struct SurfaceShells {
    wl_compositor* compositor = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    xdg_wm_base* xdgWmBase = nullptr;
};

class OutputSurface {
public:
    // Makes the surface over the output and commits it without a buffer, so
    // that the compositor configures it.
    OutputSurface(const SurfaceShells& shells, WaylandOutput& output);
    // Releases the EGL surface through egl, then every Wayland object.
    void destroy(EglContext& egl);
    ~OutputSurface();
    OutputSurface(const OutputSurface&) = delete;
    OutputSurface& operator=(const OutputSurface&) = delete;

    // After a configure: the EGL window made or resized to the pixel size.
    // False when EGL cannot make the surface.
    bool prepare(EglContext& egl);

    // Configured, prepared, and no frame callback outstanding.
    bool canDraw() const { return eglSurface != EGL_NO_SURFACE && frameDone && !closed; }

    // Makes the context current here before a frame is drawn.
    bool makeCurrent(EglContext& egl);
    // Asks for the next frame callback and presents the frame. False when
    // EGL could not present it: then no callback will come.
    bool present(EglContext& egl);

    int width() const { return logicalWidth; }
    int height() const { return logicalHeight; }
    int scale() const { return drawableScale; }

    WaylandOutput& output;
    // The compositor closed the surface (a layer surface's output went away,
    // or the user closed the full-screen window).
    bool closed = false;
    // The compositor asked to close the window (xdg-shell only): an ending
    // by the user, as a key would be.
    bool closeRequested = false;

private:
    // The overlay layer surface, where the layer shell is offered (false
    // where it is not).
    bool becomeLayerSurface(zwlr_layer_shell_v1* layerShell);
    void becomeFullScreenWindow(xdg_wm_base* xdgWmBase);
    void configured(int width, int height);

    static const wl_callback_listener frameListener;
    static void onFrameDone(void* data, wl_callback* callback, uint32_t);
#ifdef FLOWBALL_LAYER_SHELL
    static const zwlr_layer_surface_v1_listener layerSurfaceListener;
    static void onLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                                 uint32_t height);
    static void onLayerClosed(void* data, zwlr_layer_surface_v1*);
    zwlr_layer_surface_v1* layerSurface = nullptr;
#endif
    static const xdg_surface_listener xdgSurfaceListener;
    static const xdg_toplevel_listener toplevelListener;
    static void onXdgSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial);
    static void onToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*);
    static void onToplevelClose(void* data, xdg_toplevel*);
    static void onToplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
    static void onToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

    wl_surface* surface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wl_egl_window* eglWindow = nullptr;
    EGLSurface eglSurface = EGL_NO_SURFACE;
    wl_callback* frameCallback = nullptr;
    bool frameDone = true;
    bool firstCurrent = true;
    // The last configured size, and the pending one of an xdg-shell
    // configure sequence.
    int logicalWidth = 0;
    int logicalHeight = 0;
    int pendingWidth = 0;
    int pendingHeight = 0;
    int drawableScale = 1;
    int appliedScale = 0;
    bool canScale = false;
};
