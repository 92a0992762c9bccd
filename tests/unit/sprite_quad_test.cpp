#include "animation/sprite_quad.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animation/camera.h"
#include "gl_recorder.h"

namespace {

std::string callText(const char* name, std::vector<double> args) { return glrec::Call{name, std::move(args)}.text(); }

TEST(SpriteQuadTest, DefaultsAreAUnitQuadWithTheWholeTexture)
{
    SpriteQuad quad;
    EXPECT_EQ(quad.halfWidth, 1.0f);
    EXPECT_EQ(quad.halfHeight, 1.0f);
    EXPECT_EQ(quad.sLow, 0.0f);
    EXPECT_EQ(quad.tLow, 0.0f);
    EXPECT_EQ(quad.sHigh, 1.0f);
    EXPECT_EQ(quad.tHigh, 1.0f);
}

TEST(SpriteQuadTest, DrawTurnsToTheBillboardAnglesInAPushedMatrix)
{
    glrec::reset();
    Camera camera;
    camera.billboardAngles[0] = 10.0f;
    camera.billboardAngles[1] = 20.0f;
    camera.billboardAngles[2] = 30.0f;
    SpriteQuad quad;
    quad.halfWidth = 2.0f;
    quad.halfHeight = 0.5f;
    quad.sLow = 0.25f;
    quad.tLow = 0.125f;
    quad.sHigh = 0.75f;
    quad.tHigh = 0.875f;
    glTranslatef(1.0f, 2.0f, 3.0f);
    glrec::clearCalls();
    quad.draw(camera, 45.0);
    const std::vector<std::string> expected = {
        callText("glPushMatrix", {}),
        callText("glRotatef", {30, 0, 0, 1}),
        callText("glRotatef", {20, 0, 1, 0}),
        callText("glRotatef", {10, 1, 0, 0}),
        callText("glRotatef", {45, 0, 0, 1}),
        callText("glNormal3f", {0, 0, 1}),
        callText("glBegin", {GL_QUADS}),
        callText("glTexCoord2f", {0.25, 0.125}),
        callText("glVertex2f", {-2, -0.5}),
        callText("glTexCoord2f", {0.75, 0.125}),
        callText("glVertex2f", {2, -0.5}),
        callText("glTexCoord2f", {0.75, 0.875}),
        callText("glVertex2f", {2, 0.5}),
        callText("glTexCoord2f", {0.25, 0.875}),
        callText("glVertex2f", {-2, 0.5}),
        callText("glEnd", {}),
        callText("glPopMatrix", {}),
    };
    EXPECT_EQ(glrec::callTexts(), expected);
    // The caller's matrix comes back unchanged.
    const GLfloat* modelview = glrec::matrix(GL_MODELVIEW);
    EXPECT_EQ(modelview[0], 1.0f);
    EXPECT_EQ(modelview[12], 1.0f);
    EXPECT_EQ(modelview[13], 2.0f);
    EXPECT_EQ(modelview[14], 3.0f);
}

}  // namespace
