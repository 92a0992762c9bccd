#include "host/wayland/egl_context.h"

#include <EGL/eglext.h>

#include <cstdio>

namespace {

std::string eglErrorText()
{
    char text[32];
    std::snprintf(text, sizeof text, "EGL error 0x%04x", unsigned(eglGetError()));
    return text;
}

}  // namespace

bool EglContext::open(wl_display* connection, std::string& error)
{
    display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, connection, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        error = "EGL cannot use the Wayland display (" + eglErrorText() + ")";
        display = EGL_NO_DISPLAY;
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL offers no desktop OpenGL (" + eglErrorText() + ")";
        close();
        return false;
    }
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,     8,              EGL_GREEN_SIZE,      8,
                                 EGL_BLUE_SIZE,    8,              EGL_ALPHA_SIZE,      0,
                                 EGL_DEPTH_SIZE,   16,             EGL_NONE};
    EGLint found = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &found) || found < 1) {
        error = "EGL has no OpenGL window configuration with 8-bit colour and a depth buffer";
        close();
        return false;
    }
    // No version asked: the compatibility context that OpenGL 1.1's
    // immediate mode and display lists need.
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        error = "EGL cannot create an OpenGL context (" + eglErrorText() + ")";
        close();
        return false;
    }
    return true;
}

void EglContext::close()
{
    if (display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT)
        eglDestroyContext(display, context);
    context = EGL_NO_CONTEXT;
    eglTerminate(display);
    eglReleaseThread();
    display = EGL_NO_DISPLAY;
}

EGLSurface EglContext::createSurface(wl_egl_window* window)
{
    return eglCreatePlatformWindowSurface(display, config, window, nullptr);
}

void EglContext::destroySurface(EGLSurface surface)
{
    if (surface == EGL_NO_SURFACE)
        return;
    // The context stays current without a surface where EGL allows it, so
    // that the scene's objects can still be released when the last output
    // has gone.
    if (eglGetCurrentSurface(EGL_DRAW) == surface &&
        !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(display, surface);
}

bool EglContext::makeCurrent(EGLSurface surface, bool firstTime)
{
    if (!eglMakeCurrent(display, surface, surface, context))
        return false;
    if (firstTime)
        eglSwapInterval(display, 0);
    return true;
}

bool EglContext::swap(EGLSurface surface) { return eglSwapBuffers(display, surface) == EGL_TRUE; }
