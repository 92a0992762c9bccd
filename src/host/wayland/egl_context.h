// The one OpenGL context of the Wayland host: desktop OpenGL through EGL on
// the compositor's connection, made current on each output's surface in
// turn, so that every surface draws with the scene's one set of textures and
// lists.
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <string>

class EglContext {
public:
    // EGL display, a window config with a depth buffer and no alpha (the
    // surfaces are opaque), and a context for desktop OpenGL.
    bool open(wl_display* connection, std::string& error);
    void close();

    // A surface for a wl_egl_window, or EGL_NO_SURFACE.
    EGLSurface createSurface(wl_egl_window* window);
    void destroySurface(EGLSurface surface);

    // Makes the context current on the surface. The first time for a
    // surface, its swaps are made not to wait for the compositor: the host
    // paces every surface by its frame callbacks, and a swap that waited
    // would hold the other outputs' frames and the input behind one output.
    bool makeCurrent(EGLSurface surface, bool firstTime);
    // Presents the frame; false when EGL could not (eglGetError says why).
    bool swap(EGLSurface surface);

    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
};
