/* Preloaded into flowball, makes one EGL call fail from its Nth call on, as
   a driver whose output was lost would:

     FAILING_EGL_CALL=eglSwapBuffers or eglMakeCurrent, FAILING_EGL_AFTER=N

   eglMakeCurrent fails only where it would make a surface current; releasing
   the context still works, so that the program can clean up. Every other call
   goes to the real EGL. */

#define _GNU_SOURCE
#include <EGL/egl.h>
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

static int fails(const char* call)
{
    static long calls;
    const char* chosen = getenv("FAILING_EGL_CALL");
    const char* after = getenv("FAILING_EGL_AFTER");
    if (chosen == NULL || strcmp(chosen, call) != 0)
        return 0;
    return ++calls > (after != NULL ? atol(after) : 0);
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    EGLBoolean (*real)(EGLDisplay, EGLSurface) = (EGLBoolean(*)(EGLDisplay, EGLSurface))dlsym(RTLD_NEXT,
                                                                                               "eglSwapBuffers");
    return fails("eglSwapBuffers") ? EGL_FALSE : real(display, surface);
}

EGLBoolean eglMakeCurrent(EGLDisplay display, EGLSurface draw, EGLSurface read, EGLContext context)
{
    EGLBoolean (*real)(EGLDisplay, EGLSurface, EGLSurface, EGLContext) =
        (EGLBoolean(*)(EGLDisplay, EGLSurface, EGLSurface, EGLContext))dlsym(RTLD_NEXT, "eglMakeCurrent");
    if (draw != EGL_NO_SURFACE && fails("eglMakeCurrent"))
        return EGL_FALSE;
    return real(display, draw, read, context);
}
