#include <gtest/gtest.h>

#include "scene/light_rig.h"
#include "scene/material.h"
#include "scene_elements_test_support.h"

namespace {

class MaterialTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

TEST_F(MaterialTest, SetMaterialLevelsStoresInOrderAndSendsNothing)
{
    Material material;
    material.setMaterialLevels(0.4f, 0.7f, 0.99f, 1.0f);
    EXPECT_EQ(material.ambientLevel, 0.4f);
    EXPECT_EQ(material.diffuseLevel, 0.7f);
    EXPECT_EQ(material.specularLevel, 0.99f);
    EXPECT_EQ(material.materialSpecularLevel, 1.0f);
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(MaterialTest, ApplyMaterialSendsTheScaledColourProductInItsOrder)
{
    LightRig light;
    light.lightIndex = 2;
    Material material;
    material.setMaterialLevels(0.4f, 0.7f, 0.99f, 1.0f);
    material.shininess = 4;
    material.colour[0] = 1.0f;
    material.colour[1] = 0.5f;
    material.colour[2] = 0.0f;
    material.applyMaterial(light);

    const float half = 0.5f;
    expectCalls({
        {"glLightModelfv", {GL_LIGHT_MODEL_AMBIENT, 0.4f, 0.4f * half, 0, 1}},
        {"glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 1, half, 0, 1}},
        {"glLightfv", {GL_LIGHT2, GL_AMBIENT, 0.4f, 0.4f * half, 0, 1}},
        {"glLightfv", {GL_LIGHT2, GL_DIFFUSE, 0.7f, 0.7f * half, 0, 1}},
        {"glLightfv", {GL_LIGHT2, GL_SPECULAR, 0.99f, 0.99f * half, 0, 1}},
        {"glLightf", {GL_LIGHT2, GL_SPOT_EXPONENT, 1}},
        {"glLightf", {GL_LIGHT2, GL_SPOT_CUTOFF, 180}},
        {"glMateriali", {GL_FRONT_AND_BACK, GL_SHININESS, 4}},
    });
    // The diffuse colour of the example: (0.7, 0.35, 0, 1).
    EXPECT_NEAR(glrec::calls()[3].args[3], 0.35, 1e-7);
}

TEST_F(MaterialTest, LightColourMultipliesEveryTerm)
{
    LightRig light;
    light.colour[0] = 0.5f;
    light.colour[1] = 1.0f;
    light.colour[2] = 0.25f;
    Material material;
    material.applyMaterial(light);
    // Defaults: ambient 0.25, diffuse 0.5, specular 0.75, material specular 0.99.
    EXPECT_EQ(callsNamed("glLightModelfv")[0].args,
              (std::vector<double>{GL_LIGHT_MODEL_AMBIENT, 0.25f * 0.5f, 0.25f, 0.25f * 0.25f, 1}));
    EXPECT_EQ(callsNamed("glMaterialfv")[0].args,
              (std::vector<double>{GL_FRONT_AND_BACK, GL_SPECULAR, 0.99f * 0.5f, 0.99f, 0.99f * 0.25f, 1}));
    EXPECT_EQ(callsNamed("glMateriali")[0].args, (std::vector<double>{GL_FRONT_AND_BACK, GL_SHININESS, 20}));
}

}  // namespace
