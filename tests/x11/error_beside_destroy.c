/* Preloaded into flowball by the end-to-end test: an X error that the
 * program counts as a failure arrives in the same read as a window's
 * DestroyNotify. Once XPending finds a DestroyNotify at the head of the
 * queue, it makes a request the server refuses (freeing colormap None) and
 * reads the error before it returns, as a read that brought both would. The
 * program then dispatches the DestroyNotify with the error already taken. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <dlfcn.h>

static int refused;

int XPending(Display* display)
{
    int (*real)(Display*) = (int (*)(Display*))dlsym(RTLD_NEXT, "XPending");
    const int pending = real(display);
    XEvent head;
    if (!refused && pending > 0 && XPeekEvent(display, &head) && head.type == DestroyNotify) {
        refused = 1;
        XFreeColormap(display, None);
        XSync(display, False);
    }
    return pending;
}
