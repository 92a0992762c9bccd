/* A preload library that counts the frames a program shows through Mesa's
 * software GL on X, without touching the program: Mesa puts each finished
 * back buffer on the window with one XShmPutImage (or XPutImage without the
 * shared-memory extension) per buffer swap. Only puts made from Mesa's GLX
 * library count, so those of a program's own (Wine's window surfaces, for
 * one) do not.
 *
 * The count goes to the file named by FLOWBALL_PUT_COUNT_FILE: eight bytes,
 * a native-endian 64-bit integer in a shared mapping, which a reader reads at
 * any time. Counting costs an atomic add and no system call. Without the
 * variable, or where the file cannot be mapped, nothing is counted and the
 * calls pass straight through.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

typedef Bool (*ShmPutImageProc)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int, unsigned int,
                                Bool);
typedef int (*PutImageProc)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int, unsigned int);

static volatile uint64_t* counter;
static volatile int opened;

static void openCounter(void)
{
    if (__atomic_exchange_n(&opened, 1, __ATOMIC_ACQ_REL))
        return;
    const char* path = getenv("FLOWBALL_PUT_COUNT_FILE");
    if (path == NULL || *path == '\0')
        return;
    int file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0)
        return;
    if (ftruncate(file, sizeof(uint64_t)) == 0) {
        void* mapped = mmap(NULL, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        if (mapped != MAP_FAILED)
            __atomic_store_n(&counter, (volatile uint64_t*)mapped, __ATOMIC_RELEASE);
    }
    close(file);
}

__attribute__((constructor)) static void startCounting(void) { openCounter(); }

/* Whether the code at address belongs to Mesa's GLX library. */
static int calledFromMesa(const void* address)
{
    Dl_info info;
    if (!dladdr(address, &info) || info.dli_fname == NULL)
        return 0;
    return strstr(info.dli_fname, "libGLX_mesa") != NULL || strstr(info.dli_fname, "libGL.so") != NULL;
}

static void count(const void* caller)
{
    volatile uint64_t* target = __atomic_load_n(&counter, __ATOMIC_ACQUIRE);
    if (target != NULL && calledFromMesa(caller))
        __atomic_add_fetch(target, 1, __ATOMIC_RELAXED);
}

Bool XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY,
                  int destinationX, int destinationY, unsigned int width, unsigned int height, Bool sendEvent)
{
    static ShmPutImageProc next;
    if (next == NULL)
        next = (ShmPutImageProc)dlsym(RTLD_NEXT, "XShmPutImage");
    count(__builtin_return_address(0));
    return next(display, drawable, gc, image, sourceX, sourceY, destinationX, destinationY, width, height,
                sendEvent);
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY,
              int destinationX, int destinationY, unsigned int width, unsigned int height)
{
    static PutImageProc next;
    if (next == NULL)
        next = (PutImageProc)dlsym(RTLD_NEXT, "XPutImage");
    count(__builtin_return_address(0));
    return next(display, drawable, gc, image, sourceX, sourceY, destinationX, destinationY, width, height);
}
