/* The yardstick for flowball on Wayland: a full-screen xdg-shell window that
 * clears and draws one triangle per frame with desktop OpenGL through EGL,
 * and draws the next frame when its period is over and the compositor's
 * frame callback for the last one has come. It sleeps until the frame is
 * due, then reads what the compositor sent meanwhile.
 *
 *   minimal-wayland-egl PERIOD_MICROSECONDS
 *
 * Runs until a signal ends it. Built by measure-frames.py against the
 * xdg-shell code that the native build generated.
 */
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include "xdg-shell-client-protocol.h"

static struct wl_compositor* compositor;
static struct xdg_wm_base* shell;
static int width;
static int height;
static int configured;
static int frameDone = 1;

static void onGlobal(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version)
{
    (void)data;
    (void)version;
    if (strcmp(interface, wl_compositor_interface.name) == 0)
        compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 1);
    else if (strcmp(interface, xdg_wm_base_interface.name) == 0)
        shell = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
}

static void onGlobalRemove(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

static void onPing(void* data, struct xdg_wm_base* base, uint32_t serial)
{
    (void)data;
    xdg_wm_base_pong(base, serial);
}

static const struct xdg_wm_base_listener shellListener = {onPing};

static void onSurfaceConfigure(void* data, struct xdg_surface* surface, uint32_t serial)
{
    (void)data;
    xdg_surface_ack_configure(surface, serial);
    configured = 1;
}

static const struct xdg_surface_listener surfaceListener = {onSurfaceConfigure};

static void onToplevelConfigure(void* data, struct xdg_toplevel* toplevel, int32_t w, int32_t h,
                                struct wl_array* states)
{
    (void)data;
    (void)toplevel;
    (void)states;
    if (w > 0 && h > 0) {
        width = w;
        height = h;
    }
}

static void onToplevelClose(void* data, struct xdg_toplevel* toplevel)
{
    (void)data;
    (void)toplevel;
}

static const struct xdg_toplevel_listener toplevelListener = {.configure = onToplevelConfigure,
                                                              .close = onToplevelClose};

static void onFrameDone(void* data, struct wl_callback* callback, uint32_t time)
{
    (void)data;
    (void)time;
    wl_callback_destroy(callback);
    frameDone = 1;
}

static const struct wl_callback_listener frameListener = {onFrameDone};

static void addMicroseconds(struct timespec* time, long microseconds)
{
    time->tv_nsec += microseconds * 1000;
    while (time->tv_nsec >= 1000000000) {
        time->tv_nsec -= 1000000000;
        ++time->tv_sec;
    }
}

int main(int argc, char** argv)
{
    const long period = argc > 1 ? atol(argv[1]) : 5000;
    struct wl_display* display = wl_display_connect(NULL);
    if (display == NULL || period <= 0) {
        fprintf(stderr, "minimal-wayland-egl: no Wayland display, or a bad period\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, NULL);
    wl_display_roundtrip(display);
    if (compositor == NULL || shell == NULL)
        return 1;
    xdg_wm_base_add_listener(shell, &shellListener, NULL);
    struct wl_surface* surface = wl_compositor_create_surface(compositor);
    struct xdg_surface* shellSurface = xdg_wm_base_get_xdg_surface(shell, surface);
    xdg_surface_add_listener(shellSurface, &surfaceListener, NULL);
    struct xdg_toplevel* toplevel = xdg_surface_get_toplevel(shellSurface);
    xdg_toplevel_add_listener(toplevel, &toplevelListener, NULL);
    xdg_toplevel_set_fullscreen(toplevel, NULL);
    wl_surface_commit(surface);
    while (!configured)
        if (wl_display_dispatch(display) < 0)
            return 1;
    if (width <= 0 || height <= 0) {
        width = 1024;
        height = 768;
    }

    EGLDisplay egl = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, NULL);
    eglInitialize(egl, NULL, NULL);
    eglBindAPI(EGL_OPENGL_API);
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 0,
                                 EGL_DEPTH_SIZE, 16, EGL_NONE};
    EGLConfig config;
    EGLint found = 0;
    if (!eglChooseConfig(egl, attributes, &config, 1, &found) || found < 1)
        return 1;
    EGLContext context = eglCreateContext(egl, config, EGL_NO_CONTEXT, NULL);
    struct wl_egl_window* window = wl_egl_window_create(surface, width, height);
    EGLSurface eglSurface = eglCreatePlatformWindowSurface(egl, config, window, NULL);
    eglMakeCurrent(egl, eglSurface, eglSurface, context);
    eglSwapInterval(egl, 0);
    glViewport(0, 0, width, height);

    struct timespec due;
    clock_gettime(CLOCK_MONOTONIC, &due);
    for (float angle = 0.0f;; angle += 1.0f) {
        glClearColor(0.0f, 0.0f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(angle, 0.0f, 0.0f, 1.0f);
        glBegin(GL_TRIANGLES);
        glColor3f(1.0f, 0.5f, 0.0f);
        glVertex2f(-0.5f, -0.5f);
        glVertex2f(0.5f, -0.5f);
        glVertex2f(0.0f, 0.5f);
        glEnd();
        struct wl_callback* callback = wl_surface_frame(surface);
        wl_callback_add_listener(callback, &frameListener, NULL);
        frameDone = 0;
        eglSwapBuffers(egl, eglSurface);
        wl_display_flush(display);

        addMicroseconds(&due, period);
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec > due.tv_sec + 1)
            due = now;
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, NULL);
        /* What came meanwhile, then the frame callback if it has not. */
        while (!frameDone)
            if (wl_display_dispatch(display) < 0)
                return 1;
        wl_display_dispatch_pending(display);
    }
}
