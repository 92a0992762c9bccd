/* A preload library that counts the frames a program presents through EGL
 * (eglSwapBuffers), without touching the program: the Wayland rows of make
 * perf count flowball's and the minimal client's frames with it.
 *
 * The count goes to the file named by FLOWBALL_SWAP_COUNT_FILE: eight bytes,
 * a native-endian 64-bit integer in a shared mapping, which a reader reads at
 * any time. Counting costs an atomic add and no system call. Without the
 * variable, or where the file cannot be mapped, nothing is counted and the
 * calls pass straight through.
 */
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

typedef EGLBoolean (*SwapBuffersProc)(EGLDisplay, EGLSurface);

static volatile uint64_t* counter;

__attribute__((constructor)) static void startCounting(void)
{
    const char* path = getenv("FLOWBALL_SWAP_COUNT_FILE");
    if (path == NULL || *path == '\0')
        return;
    int file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0)
        return;
    if (ftruncate(file, sizeof(uint64_t)) == 0) {
        void* mapped = mmap(NULL, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        if (mapped != MAP_FAILED)
            counter = (volatile uint64_t*)mapped;
    }
    close(file);
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    static SwapBuffersProc next;
    if (next == NULL)
        next = (SwapBuffersProc)dlsym(RTLD_NEXT, "eglSwapBuffers");
    if (counter != NULL)
        __atomic_add_fetch(counter, 1, __ATOMIC_RELAXED);
    return next(display, surface);
}
