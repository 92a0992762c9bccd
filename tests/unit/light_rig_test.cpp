#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "scene/light_rig.h"
#include "scene/material.h"
#include "scene_elements_test_support.h"

namespace {

class LightRigTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

TEST_F(LightRigTest, EnableLightThreeSendsPositionAndSpotDirectionToThatLight)
{
    LightRig light;
    light.lightIndex = 3;
    light.location[0] = 0.5f;
    light.location[1] = -1.0f;
    light.location[2] = 2.0f;
    light.enableLight();
    expectCalls({
        {"glLightfv", {GL_LIGHT3, GL_POSITION, 0.5f, -1.0f, 2.0f, 1.0f}},
        {"glLightfv", {GL_LIGHT3, GL_SPOT_DIRECTION, 0, 0, 0}},
        {"glEnable", {GL_LIGHT3}},
    });
}

TEST_F(LightRigTest, PositionStaysPositionalAfterAnyNumberOfSends)
{
    LightRig light;
    for (int i = 0; i < 5; ++i) {
        light.setLightLocation(float(i), 2.0f * float(i), -float(i));
        light.applyLightPosition();
    }
    EXPECT_EQ(light.position[0], 4.0f);
    EXPECT_EQ(light.position[1], 8.0f);
    EXPECT_EQ(light.position[2], -4.0f);
    EXPECT_EQ(light.position[3], 1.0f);
    EXPECT_EQ(callsNamed("glLightfv").size(), 20u);
}

TEST_F(LightRigTest, IndexOutsideTheEightLightsAddressesNoLight)
{
    for (int index : {-1, 8, 9, 100, INT_MIN, INT_MAX}) {
        glrec::reset();
        LightRig light;
        light.lightIndex = index;
        light.setLightLocation(1.0f, 2.0f, 3.0f);
        light.enableLight();
        Material material;
        material.applyMaterial(light);
        light.drawLightMarker();

        EXPECT_EQ(light.position[2], 3.0f) << index;
        EXPECT_TRUE(callsNamed("glLightfv").empty()) << index;
        EXPECT_TRUE(callsNamed("glLightf").empty()) << index;
        EXPECT_TRUE(callsNamed("glEnable").empty()) << index;
        // The global and material terms still go out; the marker still draws.
        EXPECT_EQ(callsNamed("glLightModelfv").size(), 1u) << index;
        EXPECT_EQ(callsNamed("glMaterialfv").size(), 1u) << index;
        EXPECT_EQ(callsNamed("glMateriali").size(), 1u) << index;
        EXPECT_EQ(callsNamed("glBegin").size(), 9u) << index;
    }
}

TEST_F(LightRigTest, EveryValidIndexAddressesItsOwnLight)
{
    for (int index = 0; index < 8; ++index) {
        glrec::reset();
        LightRig light;
        light.lightIndex = index;
        light.enableLight();
        EXPECT_EQ(callsNamed("glEnable").at(0).args, (std::vector<double>{double(GL_LIGHT0 + index)}));
    }
}

TEST_F(LightRigTest, OrbitFollowsItsCircleAndItsSlowRise)
{
    struct Case {
        double time;
        float x, y, z;
    };
    const double quarterTurn = 3.14159265358979 / 2.0 / 0.3;
    const Case cases[] = {
        {0.0, 0.0f, 0.0f, 2.0f},
        {quarterTurn, 2.0f, float(2.0 * std::sin(0.06 * quarterTurn)), 0.0f},
        {2.0 * quarterTurn, 0.0f, float(2.0 * std::sin(0.12 * quarterTurn)), -2.0f},
        // The rise runs at a fifth of the turn: five quarter turns top it.
        {5.0 * quarterTurn, 2.0f, 2.0f, 0.0f},
    };
    for (const Case& c : cases) {
        LightRig light;
        light.orbit(c.time);
        EXPECT_NEAR(light.location[0], c.x, 1e-5) << c.time;
        EXPECT_NEAR(light.location[1], c.y, 1e-5) << c.time;
        EXPECT_NEAR(light.location[2], c.z, 1e-5) << c.time;
    }
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(LightRigTest, OrbitAtZeroIsExactlyOnTheZAxis)
{
    LightRig light;
    light.orbit(0.0);
    EXPECT_EQ(light.location[0], 0.0f);
    EXPECT_EQ(light.location[1], 0.0f);
    EXPECT_EQ(light.location[2], 2.0f);
}

TEST_F(LightRigTest, MarkerIsATenByTenBallInTheLightColourAtTheLocation)
{
    LightRig light;
    light.colour[0] = 1.0f;
    light.colour[1] = 0.5f;
    light.colour[2] = 0.25f;
    light.markerRadius = 0.03f;
    light.location[0] = 1.0f;
    light.location[1] = -2.0f;
    light.location[2] = 0.5f;
    light.drawLightMarker();

    const std::vector<glrec::Call>& calls = glrec::calls();
    ASSERT_GE(calls.size(), 4u);
    expectCallsEqual({calls[0], calls[1], calls[2]}, {
                                                         {"glColor3f", {1.0f, 0.5f, 0.25f}},
                                                         {"glPushMatrix", {}},
                                                         {"glTranslatef", {1.0f, -2.0f, 0.5f}},
                                                     });
    EXPECT_EQ(calls.back().name, "glPopMatrix");
    EXPECT_EQ(callsNamed("glBegin").size(), 9u);
    EXPECT_EQ(callsNamed("glVertex3d").size(), 9u * 22u);
    // First vertex: the upper point of the bottom band in column 0, at the
    // marker's radius.
    const glrec::Call firstVertex = callsNamed("glVertex3d").at(0);
    const double length = std::sqrt(firstVertex.args[0] * firstVertex.args[0] +
                                    firstVertex.args[1] * firstVertex.args[1] +
                                    firstVertex.args[2] * firstVertex.args[2]);
    EXPECT_NEAR(length, 0.03, 1e-7);
    const GLfloat* modelview = glrec::matrix(GL_MODELVIEW);
    EXPECT_EQ(modelview[12], 0.0f);
    EXPECT_EQ(modelview[13], 0.0f);
}

}  // namespace
