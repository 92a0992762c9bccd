#include "animation/view.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gl_recorder.h"

namespace {

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

TEST_F(ViewTest, ViewportIsTheFractionsOfTheArea)
{
    View view;
    view.setArea(10.0, 20.0, 210.0, 120.0);
    EXPECT_EQ(view.area[4], 200.0f);
    EXPECT_EQ(view.area[5], 100.0f);
    view.setFractions(0.25, 0.5, 0.75, 1.0);
    view.computeViewport();
    const float expected[6] = {60.0f, 70.0f, 160.0f, 120.0f, 100.0f, 50.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(view.viewport[i], expected[i]) << "index " << i;
}

TEST_F(ViewTest, TheTruncatedViewportRoundsTowardZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float x, y, width, height;
        PixelTile expected;
    } cases[] = {
        {10.7f, 20.2f, 99.9f, 50.99f, {10, 20, 99, 50}},
        {-3.7f, -0.5f, 1.5f, 0.9f, {-3, 0, 1, 0}},
        // GL refuses negative sizes; an empty viewport is given instead.
        {5.0f, 5.0f, -20.0f, -0.5f, {5, 5, 0, 0}},
        {nan, 1.0f, nan, 3e9f, {0, 1, 0, INT_MAX}},
        {-3e9f, 1e30f, 4.0f, 4.0f, {INT_MIN, INT_MAX, 4, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        View view;
        view.viewport[0] = c.x;
        view.viewport[1] = c.y;
        view.viewport[4] = c.width;
        view.viewport[5] = c.height;
        const PixelTile tile = view.truncatedViewport();
        EXPECT_EQ(tile.x, c.expected.x);
        EXPECT_EQ(tile.y, c.expected.y);
        EXPECT_EQ(tile.width, c.expected.width);
        EXPECT_EQ(tile.height, c.expected.height);
    }
}

TEST_F(ViewTest, ApplyOrthoTruncatesTheCornersAndResetsModelview)
{
    View view;
    const float corners[4] = {10.72f, 150.6f, 793.75f, 449.4f};
    for (int i = 0; i < 4; ++i)
        view.viewport[i] = corners[i];
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5.0f, 0.0f, 0.0f);
    view.applyOrtho();
    ASSERT_EQ(glrec::calls().size(), 7u);
    EXPECT_EQ(glrec::callTexts()[4], "glOrtho(10, 793, 150, 449, -1, 1)");
    EXPECT_EQ(glrec::callTexts()[6], "glLoadIdentity()");
    // The truncated corners land on the edges: x = 10 at clip -1, 793 at +1.
    const GLfloat* projection = glrec::matrix(GL_PROJECTION);
    EXPECT_FLOAT_EQ(projection[0] * 10.0f + projection[12], -1.0f);
    EXPECT_FLOAT_EQ(projection[0] * 793.0f + projection[12], 1.0f);
    EXPECT_EQ(glrec::matrix(GL_MODELVIEW)[12], 0.0f);
}

TEST(TruncatePixelTest, ConvertsEveryFloatWithoutOverflow)
{
    const struct {
        float value;
        int expected;
    } cases[] = {
        {0.0f, 0},
        {99.999f, 99},
        {-99.999f, -99},
        {2147483520.0f, 2147483520},
        {2147483648.0f, INT_MAX},
        {-2147483648.0f, INT_MIN},
        {std::numeric_limits<float>::infinity(), INT_MAX},
        {-std::numeric_limits<float>::infinity(), INT_MIN},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(truncatePixel(c.value), c.expected) << c.value;
}

}  // namespace
