// The seam between the platform and the scene. A front end (the Windows saver
// window, the offscreen renderer) creates a GL context, makes it current and
// then calls, on one thread:
//   initGlState(width, height)   once, after the context became current;
//   drawFrame()                  once per frame, then presents the frame;
//   resizeViews(width, height)   when the client area changes size;
//   releaseSceneResources()      once, before the context goes away.
// Sizes are the window's client size in pixels.
#pragma once

// Sets the fixed GL state, then builds the scene for the client size.
void initGlState(int clientWidth, int clientHeight);

// Sizes the views to the client area, builds the scene and paints the first
// background.
void resizeAndBuild(int width, int height);

// Lays the views out anew for a new client size. The scene stays as it is:
// no rebuild, no new textures, no random draws; the next frame draws at the
// new size with each view's own aspect.
void resizeViews(int width, int height);

// Ticks the clock, steps the animation and draws one frame into the back buffer.
void drawFrame();

// Releases the GL objects that must go while the context still exists.
void releaseSceneResources();
