// The scene's switches and scene-wide values: process-wide, written by the
// scene build and read by the elements while drawing.
//
// Switches are 32-bit integers used as booleans. Before the build every switch
// is 0; the build writes each of them once. The shape blend rows start as 1 and
// 6 and the frame step sets them to 2 and 3. The ball's colour (0 to 1 per
// channel, with its opacity) and grid are the build's copy of the
// configuration's, read by every frame.
#pragma once

struct SceneSwitches {
    int underlayEnabled = 0;
    int viewsEnabled = 0;
    int overlayEnabled = 0;
    int shapeBlendEnabled = 0;
    int cullingEnabled = 0;
    int depthTestEnabled = 0;
    int fogEnabled = 0;
    int lightingEnabled = 0;
    int starFieldEnabled = 0;
    int particlesEnabled = 0;
    int texturingEnabled = 0;
};

struct SceneValues {
    double sceneScale = 0.0;
    double letterboxLevel = 0.0;
    int shapeBlendSource = 1;
    int shapeBlendDest = 6;
    double wobbleRate = 0.0;
    double turnRate = 0.0;
    double baseRate = 0.0;
    float ballColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int ballGrid = 0;
};

extern SceneSwitches sceneSwitches;
extern SceneValues sceneValues;

// Both records back to their process-start values.
void resetSceneSwitches();
