#include "driver/scene.h"

#include <new>

#include "driver/elapsed_time.h"
#include "driver/scene_config.h"
#include "math/random.h"
#include "scene/scene_switches.h"
#include "textures/texture_registry.h"

namespace {

// Static storage, so that resetScene can construct the scene again in the
// same place and nothing of it lives on the heap.
alignas(Scene) unsigned char sceneStorage[sizeof(Scene)];

// The generator's state before anything seeds it.
constexpr std::uint32_t unseededState = 0;

}  // namespace

SceneConfig sceneConfig;

Scene& scene = *new (sceneStorage) Scene();

void resetScene()
{
    scene.~Scene();

    textureRegistry.reset();
    Texture::resetSharedSettings();
    resetOscillatorIds();
    randomSeed(unseededState);
    resetSceneSwitches();
    sceneConfig = SceneConfig();
    resetElapsedTime();

    // The new object takes the old one's place, so `scene` names it.
    new (sceneStorage) Scene();
}
