#include "host/windows/saver_callbacks.h"

#include <commctrl.h>

#include "animation/view_set.h"
#include "driver/scene_director.h"
#include "driver/scene_settings.h"
#include "host/windows/display_monitors.h"
#include "host/windows/saver_window_proc.h"
#include "host/windows/registry_settings.h"
#include "host/windows/settings_dialog.h"

RenderContext renderContext;

const PIXELFORMATDESCRIPTOR pixelFormatRequest = {
    sizeof(PIXELFORMATDESCRIPTOR),                                // nSize: 40
    1,                                                            // nVersion
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,  // dwFlags: 0x25
    PFD_TYPE_RGBA,                                                // iPixelType
    24,                                                           // cColorBits
    0, 0, 0, 0, 0, 0,                                             // colour bits and shifts
    0, 0,                                                         // alpha bits and shift
    0, 0, 0, 0, 0,                                                // accumulation
    16,                                                           // cDepthBits
    0,                                                            // cStencilBits
    0,                                                            // cAuxBuffers
    PFD_MAIN_PLANE,                                               // iLayerType
    0,                                                            // bReserved
    0, 0, 0,                                                      // layer, visible, damage masks
};

namespace {

constexpr LPARAM monitorPowerOff = 2;

// One view per monitor: the monitors and the window's top-left corner, in
// virtual-screen pixels. Where the system lists no monitors the screen is one
// monitor, which is the single view.
void layOutMonitors(const RECT& windowBounds)
{
    ScreenRect monitors[monitorViewCapacity];
    const int count = collectMonitors(monitors, monitorViewCapacity);
    setMonitorLayout(monitors, count, windowBounds.left, windowBounds.top);
}

// Buffer swaps wait for the display's refresh, where the driver offers the
// extension; elsewhere frames come as with the timer alone.
void swapInStepWithDisplay()
{
    using SwapIntervalProc = BOOL(WINAPI*)(int interval);
    const auto setSwapInterval =
        reinterpret_cast<SwapIntervalProc>(reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (setSwapInterval != nullptr)
        setSwapInterval(1);
}

LRESULT onCreate(HWND window)
{
    // Read once, for the life of the window.
    const Settings settings = loadSettings();
    applySettings(settings);
    renderContext.viewPerMonitor = renderContext.fullScreen && settings.monitorsChoice() == Monitors::each;

    RECT client = {};
    GetClientRect(window, &client);
    renderContext.clientWidth = client.right;
    renderContext.clientHeight = client.bottom;
    if (renderContext.viewPerMonitor) {
        RECT bounds = {};
        GetWindowRect(window, &bounds);
        layOutMonitors(bounds);
    }
    createRenderContext(window, &renderContext.deviceContext, &renderContext.glContext);
    if (settings.frameRateChoice() == FrameRate::display)
        swapInStepWithDisplay();
    readViewportLimit();
    // Builds the whole scene, textures included, before the first timer tick.
    initGlState(renderContext.clientWidth, renderContext.clientHeight);
    renderContext.frameTimer.start(window, settings.frameRateChoice());
    return 0;
}

// Every timer message draws, whatever its id, unless the frame rate is
// limited and the next frame is not due yet, or nobody can see it.
LRESULT onTimer(HWND window)
{
    if (!renderContext.frameTimer.tickDraws(window))
        return 0;
    drawFrame();
    SwapBuffers(renderContext.deviceContext);
    renderContext.frameTimer.frameDrawn(window);
    return 0;
}

// lParam of the monitor-power command: -1 on, 1 low power, 2 off.
void onMonitorPower(HWND window, LPARAM lParam)
{
    renderContext.frameTimer.monitorPowerCommanded(window, lParam != monitorPowerOff);
}

// A new client size (a resized preview pane, a full-screen window following
// the display) lays the views out anew; the scene stays.
LRESULT onSize(HWND window, LPARAM lParam)
{
    // Minimised or restored: the frames stop or come back at once.
    renderContext.frameTimer.lookAgain(window);
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    if (renderContext.glContext == nullptr ||
        (width == renderContext.clientWidth && height == renderContext.clientHeight))
        return 0;
    renderContext.clientWidth = width;
    renderContext.clientHeight = height;
    resizeViews(width, height);
    return 0;
}

// Monitors added, removed or moved: the full-screen window covers the new
// virtual screen (its WM_SIZE lays the views out for a new size) and each
// monitor gets its view again.
LRESULT onDisplayChange(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!renderContext.fullScreen)
        return DefScreenSaverProc(window, WM_DISPLAYCHANGE, wParam, lParam);
    const RECT bounds = virtualScreenBounds();
    if (renderContext.viewPerMonitor)
        layOutMonitors(bounds);
    SetWindowPos(window, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT onDestroy(HWND window)
{
    renderContext.frameTimer.stop(window);
    releaseSceneResources();
    destroyRenderContext(window, renderContext.deviceContext, renderContext.glContext);
    renderContext.deviceContext = nullptr;
    renderContext.glContext = nullptr;
    return 0;
}

}  // namespace

LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_TIMER:
        return onTimer(window);
    case WM_SIZE:
        return onSize(window, lParam);
    case WM_SHOWWINDOW:
        renderContext.frameTimer.lookAgain(window);
        return DefScreenSaverProc(window, message, wParam, lParam);
    case WM_POWERBROADCAST:
        if (wParam == PBT_POWERSETTINGCHANGE)
            renderContext.frameTimer.powerSettingChanged(window, lParam);
        return DefScreenSaverProc(window, message, wParam, lParam);
    case WM_WTSSESSION_CHANGE:
        renderContext.frameTimer.sessionChanged(window, wParam);
        return DefScreenSaverProc(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MONITORPOWER)
            onMonitorPower(window, lParam);
        return DefScreenSaverProc(window, message, wParam, lParam);
    case WM_DISPLAYCHANGE:
        return onDisplayChange(window, wParam, lParam);
    case WM_DESTROY:
        return onDestroy(window);
    default:
        return DefScreenSaverProc(window, message, wParam, lParam);
    }
}

INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Pointer-sized, as DLGPROC is: WM_CTLCOLORSTATIC answers with a brush
    // handle, which a 64-bit BOOL would cut in half.
    return settingsDialogProc(dialog, message, wParam, lParam);
}

BOOL WINAPI RegisterDialogClasses(HANDLE)
{
    InitCommonControls();
    return TRUE;
}

void createRenderContext(HWND window, HDC* deviceContext, HGLRC* glContext)
{
    *deviceContext = GetDC(window);
    const int format = ChoosePixelFormat(*deviceContext, &pixelFormatRequest);
    SetPixelFormat(*deviceContext, format, &pixelFormatRequest);
    *glContext = wglCreateContext(*deviceContext);
    wglMakeCurrent(*deviceContext, *glContext);
}

void destroyRenderContext(HWND window, HDC deviceContext, HGLRC glContext)
{
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(glContext);
    ReleaseDC(window, deviceContext);
}
