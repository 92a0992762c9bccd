// The scene's side of the saver window: its window procedure, the procedure
// of the configuration dialog, the dialog-class hook, and the OpenGL rendering
// context that lives from window creation to window destruction.
//
// Sizes are the client area in pixels, taken at creation: the scene is never
// rebuilt for another size, a new size only lays the views out anew. Frames
// are driven by timer 1, asked for every 5 ms (Windows keeps no timer under
// 10 ms); the user's FrameRate setting may space the ticks out (at most 30
// frames a second) or pace the buffer swaps by the display. While the
// picture cannot be seen no frames are drawn.
#pragma once

#include <windows.h>

#include "host/windows/frame_timer.h"

class RenderContext {
public:
    // Set by the host before the window is created: a full-screen window
    // follows display changes.
    bool fullScreen = false;
    // Each monitor its own view: full screen with the Monitors setting 0. The
    // preview pane always shows one view.
    bool viewPerMonitor = false;
    int clientWidth = 0;
    int clientHeight = 0;
    HDC deviceContext = nullptr;
    HGLRC glContext = nullptr;
    // Which timer ticks draw, from the settings read at creation and from
    // whether the picture can be seen.
    FrameTimer frameTimer;
};

// The scene window's context: one saver window per process.
extern RenderContext renderContext;

// 24-bit RGBA, double-buffered, 16-bit depth, no stencil, accumulation or
// auxiliary buffers, drawn to a window; every field not named is 0.
extern const PIXELFORMATDESCRIPTOR pixelFormatRequest;

// Handles WM_CREATE (the user's settings, monitors, context, GL state, scene,
// timer), WM_TIMER (one frame whatever the timer id, when the frame rate
// allows and the picture can be seen), WM_SIZE (the views laid out for the
// new client size),
// WM_DISPLAYCHANGE (a full-screen window moves to the new virtual screen,
// with the monitors laid out anew) and WM_DESTROY (timer, scene resources,
// context); passes everything else to DefScreenSaverProc. It also notes,
// and passes on unchanged, what shows or hides the picture: WM_SHOWWINDOW,
// the display's power in WM_POWERBROADCAST and the monitor-power
// WM_SYSCOMMAND, and the session's changes in WM_WTSSESSION_CHANGE.
LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The settings dialog (host/windows/settings_dialog.h): OK writes the
// settings and ends it with 1, Cancel ends it with 0.
INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Readies the common controls the dialog uses and agrees to show it.
BOOL WINAPI RegisterDialogClasses(HANDLE instance);

// Gets the window's device context, sets the requested pixel format on it,
// creates a GL context and makes it current. Results are not checked: without
// a usable format the GL calls that follow do nothing and the window stays
// black.
void createRenderContext(HWND window, HDC* deviceContext, HGLRC* glContext);

// Makes no context current, deletes the GL context and releases the device
// context.
void destroyRenderContext(HWND window, HDC deviceContext, HGLRC glContext);
