/* Preloaded into flowball by the end-to-end test: says on stderr when the
   program releases its GL context and when it closes its display, so that
   the test can tell that a signal ended the program only after both. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <string.h>
#include <unistd.h>

static void say(const char* line)
{
    ssize_t written = write(STDERR_FILENO, line, strlen(line));
    (void)written;
}

void glXDestroyContext(Display* display, GLXContext context)
{
    void (*real)(Display*, GLXContext) = (void (*)(Display*, GLXContext))dlsym(RTLD_NEXT, "glXDestroyContext");
    real(display, context);
    say("probe: context released\n");
}

int XCloseDisplay(Display* display)
{
    int (*real)(Display*) = (int (*)(Display*))dlsym(RTLD_NEXT, "XCloseDisplay");
    const int result = real(display);
    say("probe: display closed\n");
    return result;
}
