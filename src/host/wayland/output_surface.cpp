#include "host/wayland/output_surface.h"

#include "host/wayland/output_layout.h"

namespace {

// wl_surface.set_buffer_scale came with wl_compositor version 3.
constexpr uint32_t bufferScaleVersion = 3;

}  // namespace

const wl_callback_listener OutputSurface::frameListener = {onFrameDone};
const xdg_surface_listener OutputSurface::xdgSurfaceListener = {onXdgSurfaceConfigure};
const xdg_toplevel_listener OutputSurface::toplevelListener = {
    onToplevelConfigure, onToplevelClose, onToplevelBounds, onToplevelCapabilities,
};
#ifdef FLOWBALL_LAYER_SHELL
const zwlr_layer_surface_v1_listener OutputSurface::layerSurfaceListener = {onLayerConfigure, onLayerClosed};
#endif

OutputSurface::OutputSurface(const SurfaceShells& shells, WaylandOutput& target) : output(target)
{
    surface = wl_compositor_create_surface(shells.compositor);
    canScale = wl_proxy_get_version(reinterpret_cast<wl_proxy*>(shells.compositor)) >= bufferScaleVersion;
    if (!becomeLayerSurface(shells.layerShell))
        becomeFullScreenWindow(shells.xdgWmBase);
    // Without a buffer: the compositor answers with a configure.
    wl_surface_commit(surface);
}

bool OutputSurface::becomeLayerSurface(zwlr_layer_shell_v1* layerShell)
{
#ifdef FLOWBALL_LAYER_SHELL
    if (layerShell == nullptr)
        return false;
    layerSurface = zwlr_layer_shell_v1_get_layer_surface(layerShell, surface, output.output,
                                                         ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "flowball");
    zwlr_layer_surface_v1_add_listener(layerSurface, &layerSurfaceListener, this);
    zwlr_layer_surface_v1_set_anchor(layerSurface,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(layerSurface, 0, 0);
    // -1: the whole output, over any panel's exclusive zone.
    zwlr_layer_surface_v1_set_exclusive_zone(layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(layerSurface, 1);
    return true;
#else
    (void)layerShell;
    return false;
#endif
}

void OutputSurface::becomeFullScreenWindow(xdg_wm_base* xdgWmBase)
{
    xdgSurface = xdg_wm_base_get_xdg_surface(xdgWmBase, surface);
    xdg_surface_add_listener(xdgSurface, &xdgSurfaceListener, this);
    toplevel = xdg_surface_get_toplevel(xdgSurface);
    xdg_toplevel_add_listener(toplevel, &toplevelListener, this);
    xdg_toplevel_set_title(toplevel, "Flowball");
    xdg_toplevel_set_app_id(toplevel, "flowball");
    xdg_toplevel_set_fullscreen(toplevel, output.output);
}

void OutputSurface::destroy(EglContext& egl)
{
    egl.destroySurface(eglSurface);
    eglSurface = EGL_NO_SURFACE;
}

OutputSurface::~OutputSurface()
{
    if (eglWindow != nullptr)
        wl_egl_window_destroy(eglWindow);
    if (frameCallback != nullptr)
        wl_callback_destroy(frameCallback);
#ifdef FLOWBALL_LAYER_SHELL
    if (layerSurface != nullptr)
        zwlr_layer_surface_v1_destroy(layerSurface);
#endif
    if (toplevel != nullptr)
        xdg_toplevel_destroy(toplevel);
    if (xdgSurface != nullptr)
        xdg_surface_destroy(xdgSurface);
    wl_surface_destroy(surface);
}

void OutputSurface::configured(int width, int height)
{
    // 0 leaves the size to the client: the output's own.
    const ScreenRect place = output.logicalRect();
    logicalWidth = surfaceSide(width, place.left, place.right);
    logicalHeight = surfaceSide(height, place.top, place.bottom);
}

bool OutputSurface::prepare(EglContext& egl)
{
    if (logicalWidth <= 0 || logicalHeight <= 0 || closed)
        return true;
    drawableScale = canScale ? drawScaleFor(output.scale()) : 1;
    const int pixelWidth = logicalWidth * drawableScale;
    const int pixelHeight = logicalHeight * drawableScale;
    if (eglWindow == nullptr) {
        eglWindow = wl_egl_window_create(surface, pixelWidth, pixelHeight);
        eglSurface = egl.createSurface(eglWindow);
        return eglSurface != EGL_NO_SURFACE;
    }
    int currentWidth = 0;
    int currentHeight = 0;
    wl_egl_window_get_attached_size(eglWindow, &currentWidth, &currentHeight);
    if (currentWidth != pixelWidth || currentHeight != pixelHeight)
        wl_egl_window_resize(eglWindow, pixelWidth, pixelHeight, 0, 0);
    return true;
}

bool OutputSurface::makeCurrent(EglContext& egl)
{
    const bool made = egl.makeCurrent(eglSurface, firstCurrent);
    firstCurrent = false;
    return made;
}

bool OutputSurface::present(EglContext& egl)
{
    if (appliedScale != drawableScale && canScale) {
        wl_surface_set_buffer_scale(surface, drawableScale);
        appliedScale = drawableScale;
    }
    frameCallback = wl_surface_frame(surface);
    wl_callback_add_listener(frameCallback, &frameListener, this);
    frameDone = false;
    return egl.swap(eglSurface);
}

void OutputSurface::onFrameDone(void* data, wl_callback* callback, uint32_t)
{
    auto* self = static_cast<OutputSurface*>(data);
    wl_callback_destroy(callback);
    self->frameCallback = nullptr;
    self->frameDone = true;
}

#ifdef FLOWBALL_LAYER_SHELL
void OutputSurface::onLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                                     uint32_t height)
{
    auto* self = static_cast<OutputSurface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    self->configured(int(width), int(height));
}

void OutputSurface::onLayerClosed(void* data, zwlr_layer_surface_v1*)
{
    static_cast<OutputSurface*>(data)->closed = true;
}
#endif

void OutputSurface::onToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*)
{
    auto* self = static_cast<OutputSurface*>(data);
    self->pendingWidth = width;
    self->pendingHeight = height;
}

void OutputSurface::onToplevelClose(void* data, xdg_toplevel*)
{
    static_cast<OutputSurface*>(data)->closeRequested = true;
}

void OutputSurface::onXdgSurfaceConfigure(void* data, xdg_surface* xdgSurface, uint32_t serial)
{
    auto* self = static_cast<OutputSurface*>(data);
    xdg_surface_ack_configure(xdgSurface, serial);
    self->configured(self->pendingWidth, self->pendingHeight);
}
