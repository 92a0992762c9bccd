// The seam between the platform and the scene. A front end (the Windows saver
// window, the offscreen renderer) creates a GL context, makes it current and
// then calls, on one thread:
//   initGlState(width, height)   once, after the context became current;
//   drawFrame()                  once per frame, then presents the frame
//                                (or advanceFrame, then drawCurrentFrame
//                                on each drawable);
//   resizeViews(width, height)   when the client area changes size;
//   setMonitorLayout(...)        before initGlState or at any time after,
//                                when the monitors change;
//   readViewportLimit()          once the context is current, before
//                                initGlState (and kept through rebuilds);
//   releaseSceneResources()      once, before the context goes away.
// Sizes are the window's client size in pixels.
#pragma once

#include "animation/monitor_layout.h"

// Sets the fixed GL state, then builds the scene for the client size.
void initGlState(int clientWidth, int clientHeight);

// Sizes the views to the client area, builds the scene and paints the first
// background.
void resizeAndBuild(int width, int height);

// Lays the views out anew for a new client size. The scene stays as it is:
// no rebuild, no new textures, no random draws; the next frame draws at the
// new size with each view's own aspect.
void resizeViews(int width, int height);

// The monitors the window covers (virtual-screen pixels, top-left origin, y
// down) and the window's top-left corner there: one letterboxed perspective
// view per monitor, each with its monitor's own aspect, all from view 1's
// camera. No monitors (count 0), or one that is the whole window, give the
// single view over the window. Like resizeViews it rebuilds nothing; the
// layout is kept through later resizes and rebuilds.
void setMonitorLayout(const ScreenRect* monitors, int count, int originX, int originY);

// Asks GL for its largest viewport (GL_MAX_VIEWPORT_DIMS). What spans a
// window wider or taller than that (the background, the full-window passes,
// a view across several monitors) is then drawn in tiles within it, rather
// than squeezed into part of the window by GL's clamp. Without it, every view
// is drawn in one piece.
void readViewportLimit();

// Ticks the clock, steps the animation and draws one frame into the back buffer.
void drawFrame();

// drawFrame in its two halves, for a host that shows each frame on several
// drawables (a surface per output) with the one context: advanceFrame ticks
// the clock and steps the animation, calling no GL; drawCurrentFrame draws
// the scene as it stands into the current drawable's back buffer and steps
// nothing, so it may run once per drawable.
void advanceFrame();
void drawCurrentFrame();

// The part of the window that the next frames draw into the current
// drawable (ViewSet::showPart): a window laid over several drawables shows
// in each its own part. Window pixels, bottom-left origin.
void showWindowPart(int left, int bottom, int scale);

// Releases the GL objects that must go while the context still exists.
void releaseSceneResources();
