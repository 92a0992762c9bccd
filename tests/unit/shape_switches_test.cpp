#include <gtest/gtest.h>

#include "scene/scene_switches.h"
#include "scene/shape_switches.h"
#include "scene_elements_test_support.h"

namespace {

class ShapeSwitchesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        resetSceneSwitches();
    }
    void TearDown() override { resetSceneSwitches(); }

    static void useSceneSwitches()
    {
        sceneSwitches.shapeBlendEnabled = 0;
        sceneSwitches.cullingEnabled = 1;
        sceneSwitches.depthTestEnabled = 0;
        sceneSwitches.fogEnabled = 0;
        sceneSwitches.lightingEnabled = 1;
        sceneSwitches.texturingEnabled = 1;
        sceneValues.shapeBlendSource = 2;
        sceneValues.shapeBlendDest = 3;
    }
};

TEST_F(ShapeSwitchesTest, SceneSwitchesApplyEveryCapabilityAndResetOnlyTheSetOnes)
{
    useSceneSwitches();
    applyShapeSwitches();
    expectCalls({
        {"glDisable", {GL_BLEND}},
        {"glEnable", {GL_CULL_FACE}},
        {"glDisable", {GL_DEPTH_TEST}},
        {"glDisable", {GL_FOG}},
        {"glEnable", {GL_LIGHTING}},
        {"glEnable", {GL_TEXTURE_2D}},
    });
    glrec::clearCalls();
    resetShapeSwitches();
    expectCalls({
        {"glDisable", {GL_CULL_FACE}},
        {"glDisable", {GL_LIGHTING}},
        {"glDisable", {GL_TEXTURE_2D}},
    });
}

TEST_F(ShapeSwitchesTest, EverySwitchSetBlendsWithTheSceneRowsAndTurnsDepthWritesOn)
{
    useSceneSwitches();
    sceneSwitches.shapeBlendEnabled = 1;
    sceneSwitches.depthTestEnabled = 1;
    sceneSwitches.fogEnabled = 1;
    applyShapeSwitches();
    expectCalls({
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
        {"glEnable", {GL_BLEND}},
        {"glEnable", {GL_CULL_FACE}},
        {"glEnable", {GL_DEPTH_TEST}},
        {"glDepthMask", {GL_TRUE}},
        {"glEnable", {GL_FOG}},
        {"glEnable", {GL_LIGHTING}},
        {"glEnable", {GL_TEXTURE_2D}},
    });
    glrec::clearCalls();
    // The depth test goes off again; depth writes stay on.
    resetShapeSwitches();
    expectCalls({
        {"glDisable", {GL_BLEND}},
        {"glDisable", {GL_CULL_FACE}},
        {"glDisable", {GL_DEPTH_TEST}},
        {"glDisable", {GL_FOG}},
        {"glDisable", {GL_LIGHTING}},
        {"glDisable", {GL_TEXTURE_2D}},
    });
}

TEST_F(ShapeSwitchesTest, NoSwitchSetDisablesEverythingAndResetTouchesNothing)
{
    applyShapeSwitches();
    EXPECT_EQ(glrec::calls().size(), 6u);
    EXPECT_EQ(glrec::countCalls("glDisable"), 6u);
    EXPECT_EQ(glrec::countCalls("glDepthMask"), 0u);
    glrec::clearCalls();
    resetShapeSwitches();
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(ShapeSwitchesTest, BlendRowsOutsideTheTablesStillEnableBlendingWithoutAFunction)
{
    sceneSwitches.shapeBlendEnabled = 1;
    sceneValues.shapeBlendSource = 9;
    sceneValues.shapeBlendDest = -1;
    applyShapeSwitches();
    EXPECT_EQ(glrec::countCalls("glBlendFunc"), 0u);
    EXPECT_EQ(glrec::calls().front().text(), callText("glEnable", {GL_BLEND}));
}

}  // namespace
