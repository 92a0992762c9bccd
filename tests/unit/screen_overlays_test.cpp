#include <gtest/gtest.h>

#include "animation/view_set.h"
#include "scene/screen_overlays.h"
#include "scene_elements_test_support.h"
#include "textures/texture.h"

namespace {

class ScreenOverlaysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        Texture::resetSharedSettings();
        viewSet.resize(640.0f, 480.0f);
    }

    // The log without the texture set-up calls a first bind makes (name,
    // wrap and environment), which the texture slot's own tests cover.
    static std::vector<glrec::Call> callsWithoutTextureSetup()
    {
        std::vector<glrec::Call> kept;
        for (const glrec::Call& call : glrec::calls()) {
            if (call.name != "glGenTextures" && call.name != "glTexParameteri" && call.name != "glTexEnvf") {
                kept.push_back(call);
            }
        }
        return kept;
    }

    static std::vector<ExpectedCall> quad(double width, double height)
    {
        return {
            {"glBegin", {GL_QUADS}},
            {"glTexCoord2d", {0, 0}},
            {"glVertex2f", {0, 0}},
            {"glTexCoord2d", {1, 0}},
            {"glVertex2f", {width, 0}},
            {"glTexCoord2d", {1, 1}},
            {"glVertex2f", {width, height}},
            {"glTexCoord2d", {0, 1}},
            {"glVertex2f", {0, height}},
            {"glEnd", {}},
        };
    }

    ViewSet viewSet;
    Texture texture;
};

TEST_F(ScreenOverlaysTest, ScreenQuadCoversTheRectangleWithTheTextureOnce)
{
    drawScreenQuad(0.0f, 0.0f, 640.0f, 480.0f);
    expectCalls(quad(640, 480));
}

TEST_F(ScreenOverlaysTest, TiledAndScrolledQuadsRepeatAndShiftTheTexture)
{
    drawScreenQuadTiled(10.0f, 20.0f, 100.0f, 50.0f, 4.0f, 2.0f);
    const std::vector<ExpectedCall> corners = {
        {"glVertex2f", {10, 20}},
        {"glVertex2f", {110, 20}},
        {"glVertex2f", {110, 70}},
        {"glVertex2f", {10, 70}},
    };
    expectCalls({
        {"glBegin", {GL_QUADS}},
        {"glTexCoord2d", {0, 0}},
        corners[0],
        {"glTexCoord2d", {4, 0}},
        corners[1],
        {"glTexCoord2d", {4, 2}},
        corners[2],
        {"glTexCoord2d", {0, 2}},
        corners[3],
        {"glEnd", {}},
    });

    glrec::clearCalls();
    drawScreenQuadScrolled(10.0f, 20.0f, 100.0f, 50.0f, 4.0f, 2.0f, 0.5f, -0.25f);
    expectCalls({
        {"glBegin", {GL_QUADS}},
        {"glTexCoord2d", {0.5, -0.25}},
        corners[0],
        {"glTexCoord2d", {4.5, -0.25}},
        corners[1],
        {"glTexCoord2d", {4.5, 1.75}},
        corners[2],
        {"glTexCoord2d", {0.5, 1.75}},
        corners[3],
        {"glEnd", {}},
    });
}

TEST_F(ScreenOverlaysTest, UnderlayBlendsTheTextureOverTheWindowAndLeavesBlendAndTextureOff)
{
    drawUnderlayPass(texture, viewSet);
    std::vector<ExpectedCall> expected = {
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
        {"glEnable", {GL_BLEND}},
        {"glBindTexture", {GL_TEXTURE_2D, double(texture.glName)}},
        {"glEnable", {GL_TEXTURE_2D}},
        {"glColor4f", {1, 1, 1, 1}},
    };
    for (const ExpectedCall& call : quad(640, 480)) {
        expected.push_back(call);
    }
    expected.push_back({"glDisable", {GL_BLEND}});
    expected.push_back({"glDisable", {GL_TEXTURE_2D}});
    expectCallsEqual(callsWithoutTextureSetup(), expected);
    EXPECT_NE(texture.glName, 0u);
}

TEST_F(ScreenOverlaysTest, OverlayMultipliesTheFrameAndLeavesDepthAndLightingOff)
{
    drawOverlayPass(texture, viewSet);
    std::vector<ExpectedCall> expected = {
        {"glBlendFunc", {GL_ZERO, GL_SRC_COLOR}},
        {"glEnable", {GL_BLEND}},
        {"glDisable", {GL_DEPTH_TEST}},
        {"glDepthMask", {GL_FALSE}},
        {"glDisable", {GL_LIGHTING}},
        {"glBindTexture", {GL_TEXTURE_2D, double(texture.glName)}},
        {"glEnable", {GL_TEXTURE_2D}},
        {"glColor3f", {1, 1, 1}},
    };
    for (const ExpectedCall& call : quad(640, 480)) {
        expected.push_back(call);
    }
    expected.push_back({"glDisable", {GL_BLEND}});
    expected.push_back({"glDisable", {GL_TEXTURE_2D}});
    expectCallsEqual(callsWithoutTextureSetup(), expected);
}

}  // namespace
