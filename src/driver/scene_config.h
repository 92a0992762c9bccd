// What the scene build puts into the scene: the switches and the scene-wide
// values, as one record that a test or a tool may change before the build.
// The defaults are the saver's scene.
//
// Switches are 32-bit integers used as booleans. sceneScale is a size factor
// (1 = the scene's world units); letterboxLevel is the bar height as a
// fraction of the window height until the first frame moves it; the three
// rates are the oscillators' shared drives (multipliers, 1 = no change).
// timeScale multiplies the milliseconds the scene's clock reads (1 = the
// designed motion, 2 = twice as fast). Colours are 0 to 1 per channel.
#pragma once

#include "scene/scene_switches.h"
#include "scene/sphere.h"
#include "textures/texture_kind.h"

class SceneConfig {
public:
    // Written into sceneSwitches by the build, field by field in their order
    // of declaration. With these values a frame shows the background and the
    // lit, textured ball; the star field, the particles, fog and both
    // full-window passes stay off.
    SceneSwitches switches = {
        /* underlayEnabled   */ 0,
        /* viewsEnabled      */ 1,
        /* overlayEnabled    */ 0,
        /* shapeBlendEnabled */ 0,
        /* cullingEnabled    */ 1,
        /* depthTestEnabled  */ 0,
        /* fogEnabled        */ 0,
        /* lightingEnabled   */ 1,
        /* starFieldEnabled  */ 0,
        /* particlesEnabled  */ 0,
        /* texturingEnabled  */ 1,
    };
    double sceneScale = 1.0;
    double letterboxLevel = 0.2;
    double wobbleRate = 1.8;
    double turnRate = 1.2;
    double baseRate = 1.0;
    double timeScale = 1.0;
    // The ball: its pattern, its colour and opacity (colour material makes
    // them its ambient and diffuse colour), its slices and stacks.
    TextureKind ballTextureKind = TextureKind::Fog;
    float ballColour[4] = {1.0f, 0.8f, 0.0f, 1.0f};
    int ballGrid = shapePassGrid;
    // 1: the perspective view keeps to the band between the letterbox bars;
    // 0: it covers the whole window, over the bars.
    int letterboxEnabled = 1;
    // Active views: view 0 (background and full-window passes) and the
    // perspective view 1. Taken within 1 to 10 by the build.
    int viewCount = 2;
};

// The configuration the next build uses; resetScene restores the defaults.
extern SceneConfig sceneConfig;
