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

void drawBackground()
{
    ViewSet& viewSet = scene.viewSet;
    viewSet.applyViewport(backgroundView);
    viewSet.applyOrtho(backgroundView);
    viewSet.drawBackground();
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
        viewSet.applyViewport(i);
        viewSet.views[i].camera.applyProjection(viewSet);
        drawView();
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
    drawBackground();
}

void resizeViews(int width, int height)
{
    scene.viewSet.resize(float(width), float(height));
    scene.viewSet.layout();
}

void setMonitorLayout(const ScreenRect* monitors, int count, int originX, int originY)
{
    scene.viewSet.setMonitors(monitors, count, originX, originY);
    scene.viewSet.layout();
}

void drawFrame()
{
    scene.clock.tick();
    stepScene();
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    drawBackground();
    if (sceneSwitches.underlayEnabled)
        drawUnderlayPass(scene.textures[passTextureSlot], scene.viewSet);
    if (sceneSwitches.viewsEnabled)
        drawPerspectiveViews();
    if (sceneSwitches.overlayEnabled) {
        scene.viewSet.applyViewport(backgroundView);
        scene.viewSet.applyOrtho(backgroundView);
        drawOverlayPass(scene.textures[passTextureSlot], scene.viewSet);
    }
}

void releaseSceneResources()
{
    if (sceneSwitches.starFieldEnabled)
        scene.starField.deleteList();
}
