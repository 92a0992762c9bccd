// Body::applyTransform: the translation, then the rotations about y, x and z,
// each left out when its angle is exactly 0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl_recorder.h"
#include "math/body.h"

namespace {

struct TransformCase {
    Vec3 position;
    Vec3 angles;
    std::vector<std::string> expected;
};

TEST(BodyTransformTest, TranslatesThenRotatesYThenXThenZSkippingZeroAngles)
{
    const TransformCase cases[] = {
        {{1, 2, 3}, {0, 0, 0}, {"glTranslatef(1, 2, 3)"}},
        {{0, 0, 0}, {0, 0, 0}, {"glTranslatef(0, 0, 0)"}},
        {{0, 0, 0}, {-0.0f, -0.0f, -0.0f}, {"glTranslatef(0, 0, 0)"}},
        {{1, 0, -5},
         {10, 20, 30},
         {"glTranslatef(1, 0, -5)", "glRotatef(20, 0, 1, 0)", "glRotatef(10, 1, 0, 0)", "glRotatef(30, 0, 0, 1)"}},
        {{0, 0, 0}, {0, 0, -45}, {"glTranslatef(0, 0, 0)", "glRotatef(-45, 0, 0, 1)"}},
        {{0, 0, 0}, {0.5f, 0, 0}, {"glTranslatef(0, 0, 0)", "glRotatef(0.5, 1, 0, 0)"}},
        {{0, 0, 0}, {0, 360, 0}, {"glTranslatef(0, 0, 0)", "glRotatef(360, 0, 1, 0)"}},
    };
    for (const TransformCase& c : cases) {
        glrec::reset();
        Body body;
        body.position = c.position;
        body.angles = c.angles;
        body.applyTransform();
        EXPECT_EQ(glrec::callTexts(), c.expected);
    }
    glrec::reset();
}

TEST(BodyTransformTest, PlacesTheBodyInTheModelviewMatrix)
{
    glrec::reset();
    Body body;
    body.position.set(4, 5, 6);
    body.angles.set(0, 90, 0);
    body.applyTransform();
    const GLfloat* m = glrec::matrix(GL_MODELVIEW);
    // The body's local -z (its forward) ends up along world -x.
    EXPECT_NEAR(m[8], 1.0f, 1e-6f);  // local z axis, x part
    EXPECT_NEAR(m[10], 0.0f, 1e-6f);
    EXPECT_EQ(m[12], 4.0f);
    EXPECT_EQ(m[13], 5.0f);
    EXPECT_EQ(m[14], 6.0f);
    glrec::reset();
}

}  // namespace
