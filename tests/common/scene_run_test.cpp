// The scene built and run without a GL context, the same on both targets:
// the build and every frame make the same random draws and compute the same
// bits natively and on 32-bit Windows. (GL calls do nothing here: natively
// the recording layer, on Windows opengl32 without a current context.)
#include <gtest/gtest.h>

#include <cstdint>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_director.h"
#include "math/random.h"
#include "scene/scene_switches.h"
#include "textures/texture_registry.h"

namespace {

std::uint64_t simulatedNow = 0;
std::uint64_t simulatedMilliseconds() { return simulatedNow; }

class SceneRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetScene();
        simulatedNow = 0;
        setMillisecondSource(simulatedMilliseconds);
    }

    void TearDown() override
    {
        setMillisecondSource(nullptr);
        resetScene();
    }
};

TEST_F(SceneRunTest, BuildAndFramesGiveTheSameDrawsAndValuesOnEveryTarget)
{
    initGlState(640, 480);
    // The four textures' draws follow the seed.
    EXPECT_EQ(textureRegistry.count, 4);
    EXPECT_EQ(randomState(), 1778817263u);

    // Ten minutes of frames every 1.5 s (few frames: natively the GL layer
    // logs every call), then a day's gap and a last frame.
    for (int frame = 1; frame <= 400; ++frame) {
        simulatedNow = std::uint64_t(frame) * 1500;
        drawFrame();
    }
    simulatedNow += 24 * 60 * 60 * 1000;
    drawFrame();

    // One draw per oscillator at rest in every frame.
    EXPECT_EQ(randomState(), 682318487u);
    for (const Oscillator& oscillator : scene.oscillators)
        EXPECT_EQ(oscillator.level, 1.0) << "no fade started: every frame drew for all eight";
    const Body& camera = scene.viewSet.views[1].camera.body;
    EXPECT_EQ(sceneValues.letterboxLevel, 0x1.9bc543c9c865p-5);
    EXPECT_EQ(scene.oscillators[0].phase, 0x1.e96p+13);
    EXPECT_EQ(camera.position.x, -0x1.dec4e8p-3f);
    EXPECT_EQ(camera.angles.y, -0x1.585e38p+7f);
    EXPECT_EQ(scene.light.location[1], -0x1.f0dbb4p+0f);
}

}  // namespace
