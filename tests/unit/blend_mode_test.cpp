#include <gtest/gtest.h>

#include <climits>

#include "scene/blend_mode.h"
#include "scene_elements_test_support.h"

namespace {

class BlendModeTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

TEST_F(BlendModeTest, RowsSelectTheirFactorsWithoutEnablingBlending)
{
    struct Case {
        int source, dest;
        GLenum sourceFactor, destFactor;
    };
    const Case cases[] = {
        {2, 3, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
        {6, 6, GL_DST_COLOR, GL_SRC_COLOR},
        {8, 7, GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_COLOR},
        {0, 1, GL_ZERO, GL_ONE},
        {5, 4, GL_ONE_MINUS_DST_ALPHA, GL_DST_ALPHA},
        {7, 0, GL_ONE_MINUS_DST_COLOR, GL_ZERO},
    };
    for (const Case& c : cases) {
        glrec::reset();
        applyBlendMode(c.source, c.dest);
        expectCalls({{"glBlendFunc", {double(c.sourceFactor), double(c.destFactor)}}});
    }
}

TEST_F(BlendModeTest, RowsOutsideTheTablesAreRefused)
{
    const int cases[][2] = {{-1, 0}, {9, 0}, {0, 8}, {0, -1}, {9, 8}, {INT_MAX, 3}, {2, INT_MIN}};
    for (const auto& c : cases) {
        applyBlendMode(c[0], c[1]);
        EXPECT_TRUE(glrec::calls().empty()) << c[0] << ", " << c[1];
    }
}

}  // namespace
