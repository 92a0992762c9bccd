#include "driver/scene_frame.h"

#include "driver/scene.h"
#include "gl_api.h"
#include "scene/scene_switches.h"
#include "scene/shape_switches.h"
#include "scene/sphere.h"

namespace {

// The view whose camera the oscillators move.
constexpr int perspectiveViewIndex = 1;
// The slot the ball is textured with.
constexpr int shapeTextureSlot = 10;

// From the first frame on the background fill is opaque.
constexpr float frameFillAlpha = 1.0f;

// Blend rows of the shape while blending is switched on:
// GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA.
constexpr int frameBlendSource = 2;
constexpr int frameBlendDest = 3;

// The oscillators stepped before the letterbox one. 4 comes before 3 on
// purpose: the order decides which oscillator receives which random number.
constexpr int stepOrderBeforeLetterbox[] = {0, 1, 2, 4, 3, 5, 6};
constexpr int letterboxOscillator = 7;

// The view being drawn: the one applyViewport selected last. Null only when
// currentView was written out of range by hand.
View* currentView()
{
    ViewSet& viewSet = scene.viewSet;
    if (viewSet.currentView < 0 || viewSet.currentView >= viewSetCapacity)
        return nullptr;
    return &viewSet.views[viewSet.currentView];
}

}  // namespace

void stepScene()
{
    const double dt = scene.clock.timeStep;
    for (int index : stepOrderBeforeLetterbox)
        scene.oscillators[index].step(dt);

    scene.viewSet.fillAlpha = frameFillAlpha;

    Oscillator& letterbox = scene.oscillators[letterboxOscillator];
    letterbox.step(dt);
    sceneValues.letterboxLevel = letterbox.value();
    scene.viewSet.barFraction = float(sceneValues.letterboxLevel);

    if (sceneSwitches.particlesEnabled)
        scene.particles.step(float(dt), float(0.5 * sceneValues.sceneScale));

    sceneValues.shapeBlendSource = frameBlendSource;
    sceneValues.shapeBlendDest = frameBlendDest;
}

void drawView()
{
    View* view = currentView();
    if (view == nullptr)
        return;
    updateViewCamera();
    const Camera& camera = view->camera;

    if (sceneSwitches.starFieldEnabled) {
        if (sceneSwitches.fogEnabled && scene.starField.fog)
            glEnable(GL_FOG);
        scene.starField.draw(camera);
        glDisable(GL_FOG);
    }

    drawSceneContent();

    if (sceneSwitches.particlesEnabled) {
        if (sceneSwitches.fogEnabled && scene.particles.fog)
            glEnable(GL_FOG);
        scene.particles.draw(camera, scene.viewSet.fillAlpha);
        glDisable(GL_FOG);
    }
}

void updateViewCamera()
{
    View* view = currentView();
    if (view == nullptr)
        return;
    Camera& camera = view->camera;
    if (scene.viewSet.currentView == perspectiveViewIndex) {
        const Oscillator* oscillators = scene.oscillators;
        Body& body = camera.body;
        body.position.x = float(oscillators[0].value());
        body.position.y = float(oscillators[1].value());
        body.position.z = float(oscillators[2].value());
        body.angles.x = float(oscillators[3].value());
        body.angles.y = float(oscillators[4].value());
        body.angles.z = float(oscillators[5].value());
    }
    camera.applyView();
}

void drawSceneContent()
{
    if (sceneSwitches.lightingEnabled) {
        // After the camera, so the position is taken in world coordinates.
        scene.light.orbit(scene.clock.currentTime);
        scene.light.applyLightPosition();
        scene.light.drawLightMarker();
    }
    // Colour material makes it the ball's ambient and diffuse colour.
    const float* colour = sceneValues.ballColour;
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
    scene.textures[shapeTextureSlot].bind();
    applyShapeSwitches();
    glDisable(GL_ALPHA_TEST);
    drawShapePass(scene.clock.currentTime, sceneValues.ballGrid);
    resetShapeSwitches();
}
