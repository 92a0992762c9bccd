// The one place the OpenGL 1.1 and GLU declarations come from, so that the
// same sources compile natively and with MinGW.
#pragma once

#ifdef _WIN32
// The Windows GL headers pull in windows.h unless these two are defined; the
// portable code below the platform seam must not see windows.h.
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#ifndef CALLBACK
#define CALLBACK __stdcall
#endif
#endif

#include <GL/gl.h>
#include <GL/glu.h>
