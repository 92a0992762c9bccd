#include "offscreen_context.h"

#include <cstdio>

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "gl_api.h"

namespace {

std::string eglFailure(const char* what)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", unsigned(eglGetError()));
    return std::string(what) + " failed (EGL error " + code + ")";
}

bool hasExtension(const char* list, const char* name)
{
    if (list == nullptr)
        return false;
    const std::string all = std::string(" ") + list + " ";
    return all.find(std::string(" ") + name + " ") != std::string::npos;
}

// Mesa's surfaceless platform needs no display server and no device; the
// device platform is the fallback for EGL implementations without it.
EGLDisplay openDisplay()
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
            return display;
    }
    if (hasExtension(clientExtensions, "EGL_EXT_platform_device")) {
        auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
        EGLDeviceEXT device = nullptr;
        EGLint deviceCount = 0;
        if (queryDevices != nullptr && queryDevices(1, &device, &deviceCount) && deviceCount > 0) {
            EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
            if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
                return display;
        }
    }
    return EGL_NO_DISPLAY;
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// Mesa's driver modules use dynamic thread-local storage, whose blocks the
// leak checker of this toolchain's sanitizer runtime misreads under glibc
// 2.36, crashing at exit ("Tracer caught signal 11"). Not following
// __tls_get_addr avoids that and leaves every other check in place.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
#endif

OffscreenContext::~OffscreenContext() { close(); }

bool OffscreenContext::open(int w, int h, std::string& error)
{
    close();
    EGLDisplay eglDisplay = openDisplay();
    if (eglDisplay == EGL_NO_DISPLAY) {
        error = "no EGL display: neither Mesa's surfaceless platform nor an EGL device is available";
        return false;
    }
    display = eglDisplay;

    // The saver's window: 24-bit colour, 16-bit depth, no stencil.
    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
        EGL_BLUE_SIZE,    8,               EGL_DEPTH_SIZE,      16,
        EGL_NONE,
    };
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(eglDisplay, configAttributes, &config, 1, &configCount) || configCount < 1) {
        error = "no EGL configuration for desktop OpenGL with a 24-bit colour and 16-bit depth pbuffer";
        close();
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = eglFailure("eglBindAPI(EGL_OPENGL_API)");
        close();
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    surface = eglCreatePbufferSurface(eglDisplay, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        surface = nullptr;
        error = eglFailure("eglCreatePbufferSurface") + " for " + std::to_string(w) + "x" + std::to_string(h) +
                " pixels";
        close();
        return false;
    }
    context = eglCreateContext(eglDisplay, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        context = nullptr;
        error = eglFailure("eglCreateContext");
        close();
        return false;
    }
    if (!eglMakeCurrent(eglDisplay, surface, surface, context)) {
        error = eglFailure("eglMakeCurrent");
        close();
        return false;
    }
    width = w;
    height = h;
    return true;
}

void OffscreenContext::close()
{
    if (display == nullptr)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != nullptr)
        eglDestroyContext(display, context);
    if (surface != nullptr)
        eglDestroySurface(display, surface);
    // The display stays initialised until the process ends, and the next
    // open gets it back: terminating it unloads Mesa's driver, which leaves
    // some of its allocations unreachable for leak checkers to report.
    eglReleaseThread();
    display = nullptr;
    surface = nullptr;
    context = nullptr;
    width = 0;
    height = 0;
}

void OffscreenContext::readFrame(std::vector<std::uint8_t>& rgb) const
{
    rgb.resize(std::size_t(width) * std::size_t(height) * 3);
    if (!isOpen())
        return;
    glFinish();
    // Tightly packed rows: the default alignment of 4 would pad rows whose
    // width times 3 is not a multiple of 4.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

std::string OffscreenContext::rendererName() const
{
    if (!isOpen())
        return std::string();
    const GLubyte* name = glGetString(GL_RENDERER);
    return name != nullptr ? std::string(reinterpret_cast<const char*>(name)) : std::string();
}
