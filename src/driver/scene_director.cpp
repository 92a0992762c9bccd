#include "driver/scene_director.h"

#include "driver/scene.h"
#include "driver/scene_build.h"
#include "driver/scene_frame.h"
#include "gl_api.h"
#include "scene/scene_switches.h"
#include "scene/screen_overlays.h"

namespace {

// View 0 covers the window in pixels: the background and the full-window
// passes.
constexpr int backgroundView = 0;
// The perspective view the oscillators move.
constexpr int leadView = 1;
// Both full-window passes lay the SMOKE image of slot 0.
constexpr int passTextureSlot = 0;

// View 0 spans the window: the background, then the underlay pass when it is
// drawn, tile by tile where the window exceeds GL's largest viewport.
void drawWindowBackground(bool withUnderlay)
{
    ViewSet& viewSet = scene.viewSet;
    const int tiles = viewSet.tileCount(backgroundView);
    for (int tile = 0; tile < tiles; ++tile) {
        viewSet.applyOrthoTile(backgroundView, tile);
        // glClear takes no notice of the viewport: the first tile clears the
        // whole window, and later ones must not clear what it painted.
        if (tile == 0)
            viewSet.drawBackground();
        else
            viewSet.paintBackground();
        if (withUnderlay)
            drawUnderlayPass(scene.textures[passTextureSlot], viewSet);
    }
}

void drawWindowOverlay()
{
    ViewSet& viewSet = scene.viewSet;
    const int tiles = viewSet.tileCount(backgroundView);
    for (int tile = 0; tile < tiles; ++tile) {
        viewSet.applyOrthoTile(backgroundView, tile);
        drawOverlayPass(scene.textures[passTextureSlot], viewSet);
    }
}

void drawPerspectiveViews()
{
    ViewSet& viewSet = scene.viewSet;
    viewSet.barFraction = float(sceneValues.letterboxLevel);
    viewSet.layout();
    const int viewCount = viewSet.activeViewCount();
    const bool monitorViews = viewSet.monitorViewCount > 0;
    for (int i = backgroundView + 1; i < viewCount; ++i) {
        // Every monitor shows the same scene: view 1's camera, which the
        // oscillators moved while view 1 was drawn, drives the others.
        if (monitorViews && i > leadView)
            viewSet.views[i].camera = viewSet.views[leadView].camera;
        // A view wider than GL's largest viewport (one across several
        // monitors) is drawn in parts; drawing the scene again steps nothing.
        const int tiles = viewSet.tileCount(i);
        for (int tile = 0; tile < tiles; ++tile) {
            viewSet.applyPerspectiveTile(i, tile);
            drawView();
        }
    }
}

}  // namespace

void initGlState(int clientWidth, int clientHeight)
{
    glLineWidth(1.0f);
    glPointSize(1.0f);
    // Front faces, not back faces: with culling on, the ball around the
    // camera shows the inside of its far half, as intended.
    glCullFace(GL_FRONT);
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glDisable(GL_DITHER);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    // The build's material replaces this shininess before anything is drawn.
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 30);
    resizeAndBuild(clientWidth, clientHeight);
}

void resizeAndBuild(int width, int height)
{
    scene.viewSet.resize(float(width), float(height));
    buildScene();
    // Lays the views over the new size at once: otherwise view 0 would keep
    // its 100 by 100 start area until the first frame's layout, which comes
    // after that frame's background, and the first frame would paint only
    // that corner of the window.
    scene.viewSet.layout();
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    // Lands in the back buffer; the first frame paints over it before any
    // swap.
    drawWindowBackground(false);
}

void resizeViews(int width, int height)
{
    scene.viewSet.resize(float(width), float(height));
    scene.viewSet.layout();
}

void readViewportLimit()
{
    GLint largest[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
    scene.viewSet.setViewportLimit(largest[0], largest[1]);
}

void setMonitorLayout(const ScreenRect* monitors, int count, int originX, int originY)
{
    scene.viewSet.setMonitors(monitors, count, originX, originY);
    scene.viewSet.layout();
}

void drawFrame()
{
    advanceFrame();
    drawCurrentFrame();
}

void advanceFrame()
{
    scene.clock.tick();
    stepScene();
}

void showWindowPart(int left, int bottom, int scale)
{
    scene.viewSet.showPart(left, bottom, scale);
}

void drawCurrentFrame()
{
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    drawWindowBackground(sceneSwitches.underlayEnabled != 0);
    if (sceneSwitches.viewsEnabled)
        drawPerspectiveViews();
    if (sceneSwitches.overlayEnabled)
        drawWindowOverlay();
}

void releaseSceneResources()
{
    if (sceneSwitches.starFieldEnabled)
        scene.starField.deleteList();
}
