#include "driver/windows/saver_callbacks.h"

#include "driver/scene_director.h"
#include "host/windows/saver_window_proc.h"

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

LRESULT onCreate(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    renderContext.clientWidth = client.right;
    renderContext.clientHeight = client.bottom;
    createRenderContext(window, &renderContext.deviceContext, &renderContext.glContext);
    // Builds the whole scene, textures included, before the first timer tick.
    initGlState(renderContext.clientWidth, renderContext.clientHeight);
    SetTimer(window, frameTimerId, framePeriodMs, nullptr);
    return 0;
}

// Every timer message draws, whatever its id.
LRESULT onTimer()
{
    drawFrame();
    SwapBuffers(renderContext.deviceContext);
    return 0;
}

LRESULT onDestroy(HWND window)
{
    KillTimer(window, frameTimerId);
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
        return onTimer();
    case WM_DESTROY:
        return onDestroy(window);
    default:
        return DefScreenSaverProc(window, message, wParam, lParam);
    }
}

BOOL CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL WINAPI RegisterDialogClasses(HANDLE)
{
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
