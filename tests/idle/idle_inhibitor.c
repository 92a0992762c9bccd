/* An application that keeps the desktop from idling, as a video player
 * does: a visible window (an xdg-shell toplevel with a grey buffer) holding
 * an idle inhibitor (idle-inhibit-unstable-v1) on its surface. It prints
 * "ready" once the compositor has shown the window and taken the
 * inhibitor, and holds both until its standard input ends.
 *
 *   idle-inhibitor < anything
 */
#define _GNU_SOURCE
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include <wayland-client.h>

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

enum { WIDTH = 320, HEIGHT = 240 };

static struct wl_compositor *compositor;
static struct wl_shm *shm;
static struct xdg_wm_base *wm_base;
static struct zwp_idle_inhibit_manager_v1 *inhibit_manager;
static int configured;

static void on_global(void *data, struct wl_registry *registry, uint32_t name, const char *interface,
                      uint32_t version)
{
    (void)data;
    (void)version;
    if (strcmp(interface, wl_compositor_interface.name) == 0)
        compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 1);
    else if (strcmp(interface, wl_shm_interface.name) == 0)
        shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
    else if (strcmp(interface, xdg_wm_base_interface.name) == 0)
        wm_base = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
    else if (strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0)
        inhibit_manager = wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1);
}

static void on_global_remove(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

static void on_ping(void *data, struct xdg_wm_base *base, uint32_t serial)
{
    (void)data;
    xdg_wm_base_pong(base, serial);
}

static const struct xdg_wm_base_listener wm_base_listener = {on_ping};

static void on_surface_configure(void *data, struct xdg_surface *surface, uint32_t serial)
{
    (void)data;
    xdg_surface_ack_configure(surface, serial);
    configured = 1;
}

static const struct xdg_surface_listener surface_listener = {on_surface_configure};

static void on_toplevel_configure(void *data, struct xdg_toplevel *toplevel, int32_t width, int32_t height,
                                  struct wl_array *states)
{
    (void)data;
    (void)toplevel;
    (void)width;
    (void)height;
    (void)states;
}

static void on_toplevel_close(void *data, struct xdg_toplevel *toplevel)
{
    (void)data;
    (void)toplevel;
}

/* Bound at version 1: the later events (bounds, capabilities) never come. */
static const struct xdg_toplevel_listener toplevel_listener = {on_toplevel_configure, on_toplevel_close, NULL, NULL};

static struct wl_buffer *grey_buffer(void)
{
    const int stride = WIDTH * 4;
    const int size = stride * HEIGHT;
    int fd = memfd_create("idle-inhibitor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0)
        return NULL;
    unsigned char *pixels = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED)
        return NULL;
    memset(pixels, 0x80, size);
    munmap(pixels, size);
    struct wl_shm_pool *pool = wl_shm_create_pool(shm, fd, size);
    struct wl_buffer *buffer = wl_shm_pool_create_buffer(pool, 0, WIDTH, HEIGHT, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

int main(void)
{
    struct wl_display *display = wl_display_connect(NULL);
    if (display == NULL) {
        fprintf(stderr, "idle-inhibitor: no Wayland display\n");
        return 1;
    }
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (compositor == NULL || shm == NULL || wm_base == NULL || inhibit_manager == NULL) {
        fprintf(stderr, "idle-inhibitor: the compositor offers no %s\n",
                inhibit_manager == NULL ? "idle inhibitor" : "xdg-shell window with shared memory");
        return 1;
    }
    xdg_wm_base_add_listener(wm_base, &wm_base_listener, NULL);

    struct wl_surface *surface = wl_compositor_create_surface(compositor);
    struct xdg_surface *window = xdg_wm_base_get_xdg_surface(wm_base, surface);
    xdg_surface_add_listener(window, &surface_listener, NULL);
    struct xdg_toplevel *toplevel = xdg_surface_get_toplevel(window);
    xdg_toplevel_add_listener(toplevel, &toplevel_listener, NULL);
    xdg_toplevel_set_title(toplevel, "idle inhibitor");
    wl_surface_commit(surface);
    while (!configured) {
        if (wl_display_dispatch(display) < 0)
            return 1;
    }
    struct wl_buffer *buffer = grey_buffer();
    if (buffer == NULL) {
        fprintf(stderr, "idle-inhibitor: no shared memory for the window\n");
        return 1;
    }
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_commit(surface);
    struct zwp_idle_inhibitor_v1 *inhibitor = zwp_idle_inhibit_manager_v1_create_inhibitor(inhibit_manager, surface);
    if (wl_display_roundtrip(display) < 0)
        return 1;
    printf("ready\n");
    fflush(stdout);

    /* Answers the compositor's pings while it holds on. */
    for (;;) {
        wl_display_flush(display);
        struct pollfd waits[2] = {{wl_display_get_fd(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(waits, 2, -1) < 0)
            continue;
        if (waits[1].revents != 0) {
            char bytes[64];
            if (read(STDIN_FILENO, bytes, sizeof bytes) <= 0)
                break;
        }
        if (waits[0].revents != 0 && wl_display_dispatch(display) < 0)
            return 1;
    }
    zwp_idle_inhibitor_v1_destroy(inhibitor);
    xdg_toplevel_destroy(toplevel);
    xdg_surface_destroy(window);
    wl_surface_destroy(surface);
    wl_buffer_destroy(buffer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
