#include <gtest/gtest.h>

#include <string>

#include "gl_recorder.h"
#include "host/fps_readout.h"

namespace {

TEST(FpsReadout, ShowsNoRateBeforeTheFirstSecond)
{
    FpsReadout readout;
    EXPECT_STREQ(readout.text(), "FPS --");
    readout.frameDrawn(0);
    readout.frameDrawn(500000);
    EXPECT_STREQ(readout.text(), "FPS --");
}

TEST(FpsReadout, RateOverEachSecondToATenth)
{
    FpsReadout readout;
    readout.frameDrawn(0);
    // 57 more frames in 0.996 s, then one at 1.0 s: 58 frames in 1 s.
    for (int frame = 1; frame <= 57; ++frame)
        readout.frameDrawn(frame * 17474);
    EXPECT_STREQ(readout.text(), "FPS --");
    readout.frameDrawn(1000000);
    EXPECT_STREQ(readout.text(), "FPS 58.0");
    // The next interval counts from there: 3 frames over 1.5 s.
    readout.frameDrawn(1400000);
    readout.frameDrawn(1900000);
    readout.frameDrawn(2500000);
    EXPECT_STREQ(readout.text(), "FPS 2.0");
}

TEST(FpsReadout, DrawingLeavesTheSceneStateAsItFoundIt)
{
    glrec::reset();
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, 3);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1.0f, 2.0f, 3.0f);
    GLfloat projection[16];
    std::copy(glrec::matrix(GL_PROJECTION), glrec::matrix(GL_PROJECTION) + 16, projection);
    glrec::clearCalls();

    FpsReadout readout;
    readout.draw(640, 480);

    EXPECT_EQ(glrec::countCalls("glPushAttrib"), 1u);
    EXPECT_EQ(glrec::countCalls("glPopAttrib"), 1u);
    EXPECT_EQ(glrec::countCalls("glPushMatrix"), glrec::countCalls("glPopMatrix"));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glrec::boundTexture(), 3u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(glrec::matrix(GL_PROJECTION)[i], projection[i]);
    // The matrix mode is back to projection: a translation lands there.
    glrec::clearCalls();
    glLoadIdentity();
    EXPECT_EQ(glrec::matrix(GL_PROJECTION)[12], 0.0f);
}

TEST(FpsReadout, GlyphsAreDrawnUntexturedAndUnlitInTheTopLeftCorner)
{
    glrec::reset();
    FpsReadout readout;
    readout.draw(640, 480);
    bool lightingOff = false;
    bool texturingOff = false;
    double lowestY = 1e9;
    double highestY = -1e9;
    double rightmostX = -1e9;
    std::size_t vertices = 0;
    for (const glrec::Call& call : glrec::calls()) {
        if (call.name == "glDisable" && call.args[0] == GL_LIGHTING)
            lightingOff = true;
        if (call.name == "glDisable" && call.args[0] == GL_TEXTURE_2D)
            texturingOff = true;
        if (call.name == "glVertex2i") {
            ++vertices;
            rightmostX = std::max(rightmostX, call.args[0]);
            lowestY = std::min(lowestY, call.args[1]);
            highestY = std::max(highestY, call.args[1]);
        }
    }
    EXPECT_TRUE(lightingOff && texturingOff);
    // "FPS --": F 14 pixels, P 15, S 15, each dash 5; a quad of four
    // vertices per pixel.
    EXPECT_EQ(vertices, 4u * (14 + 15 + 15 + 5 + 5));
    EXPECT_LE(highestY, 480.0);
    EXPECT_GT(lowestY, 480.0 - 40.0);
    EXPECT_LT(rightmostX, 100.0);
}

}  // namespace
