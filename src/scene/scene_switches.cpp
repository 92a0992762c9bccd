#include "scene/scene_switches.h"

SceneSwitches sceneSwitches;
SceneValues sceneValues;

void resetSceneSwitches()
{
    sceneSwitches = SceneSwitches();
    sceneValues = SceneValues();
}
