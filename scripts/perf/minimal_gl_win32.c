/* The yardstick for flowball.scr: a full-screen Win32 window with an OpenGL
 * context in the saver's pixel format, that clears and draws one triangle on
 * each tick of a window timer.
 *
 *   minimal-gl-win32.exe PERIOD_MILLISECONDS
 *
 * Runs until the window is closed or the process ended.
 */
#include <windows.h>
#include <GL/gl.h>
#include <stdlib.h>

static HDC deviceContext;
static float angle;

static void drawFrame(void)
{
    glClearColor(0.0f, 0.0f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    angle += 1.0f;
    glBegin(GL_TRIANGLES);
    glColor3f(1.0f, 0.5f, 0.0f);
    glVertex2f(-0.5f, -0.5f);
    glVertex2f(0.5f, -0.5f);
    glVertex2f(0.0f, 0.5f);
    glEnd();
    SwapBuffers(deviceContext);
}

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        drawFrame();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)previous;
    (void)show;
    const UINT period = commandLine != NULL && *commandLine ? (UINT)atoi(commandLine) : 5;
    WNDCLASSA windowClass = {0};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "MinimalGl";
    RegisterClassA(&windowClass);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "MinimalGl", "Minimal GL", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                  height, NULL, NULL, instance, NULL);
    deviceContext = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {0};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    SetPixelFormat(deviceContext, ChoosePixelFormat(deviceContext, &format), &format);
    wglMakeCurrent(deviceContext, wglCreateContext(deviceContext));
    glViewport(0, 0, width, height);
    SetTimer(window, 1, period, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
