#include "animation/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "animation/view_set.h"
#include "gl_recorder.h"

namespace {

std::string callText(const char* name, std::vector<double> args) { return glrec::Call{name, std::move(args)}.text(); }

// Column-major: element (row, column) at column * 4 + row.
void expectMatrix(const float* actual, const float (&rows)[4][4])
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_NEAR(actual[column * 4 + row], rows[row][column], 1e-6)
                << "row " << row << " column " << column;
}

void expectVector(const float* actual, float x, float y, float z)
{
    EXPECT_NEAR(actual[0], x, 1e-6);
    EXPECT_NEAR(actual[1], y, 1e-6);
    EXPECT_NEAR(actual[2], z, 1e-6);
}

constexpr float identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

TEST_F(CameraTest, StartsWithItsDefaultsAndIdentityAxes)
{
    Camera camera;
    EXPECT_EQ(camera.fieldOfView, 90.0);
    EXPECT_EQ(camera.nearPlane, 0.1f);
    EXPECT_EQ(camera.farPlane, 100.0f);
    EXPECT_EQ(camera.eyeDistance, 1.0f);
    expectMatrix(camera.modelview, identity);
    expectVector(camera.rightAxis, 1, 0, 0);
    expectVector(camera.upAxis, 0, 1, 0);
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(CameraTest, ApplyViewAtRestWithNoEyeDistanceLeavesTheIdentity)
{
    Camera camera;
    camera.eyeDistance = 0.0f;
    camera.rightAxis[0] = 7.0f;  // proves the read-back writes it
    camera.applyView();
    expectMatrix(glrec::matrix(GL_MODELVIEW), identity);
    expectMatrix(camera.modelview, identity);
    expectVector(camera.rightAxis, 1, 0, 0);
    expectVector(camera.upAxis, 0, 1, 0);
    const std::vector<std::string> names = {"gluLookAt", "glRotatef", "glRotatef", "glRotatef", "glTranslatef",
                                            "glGetFloatv"};
    ASSERT_EQ(glrec::calls().size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(glrec::calls()[i].name, names[i]);
    EXPECT_EQ(glrec::callTexts()[0], callText("gluLookAt", {0, 0, 0, 0, 0, -1, 0, 1, 0}));
    EXPECT_EQ(glrec::callTexts()[5], callText("glGetFloatv", {GL_MODELVIEW_MATRIX}));
}

TEST_F(CameraTest, EyeDistanceOneMovesTheWorldBackByOne)
{
    Camera camera;
    camera.applyView();
    EXPECT_EQ(glrec::callTexts()[0], callText("gluLookAt", {0, 0, 1, 0, 0, 0, 0, 1, 0}));
    const float translated[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -1}, {0, 0, 0, 1}};
    expectMatrix(camera.modelview, translated);
}

// The turns are applied negated in x, y, z order; the rows of the rotation
// are the camera's right and up directions in the world.
TEST_F(CameraTest, AxesAreReadBackAfterTheTurns)
{
    const struct {
        const char* name;
        float angleX, angleY, angleZ;
        float right[3], up[3];
    } cases[] = {
        {"yaw 90: right turns to -z", 0, 90, 0, {0, 0, -1}, {0, 1, 0}},
        {"pitch 90: up turns to -z", 90, 0, 0, {1, 0, 0}, {0, 0, 1}},
        {"roll 90: right turns to +y", 0, 0, 90, {0, 1, 0}, {-1, 0, 0}},
        {"pitch, then yaw", 90, 90, 0, {0, 0, -1}, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        glrec::reset();
        Camera camera;
        camera.eyeDistance = 0.0f;
        camera.body.angles.set(c.angleX, c.angleY, c.angleZ);
        camera.applyView();
        expectVector(camera.rightAxis, c.right[0], c.right[1], c.right[2]);
        expectVector(camera.upAxis, c.up[0], c.up[1], c.up[2]);
        EXPECT_EQ(glrec::callTexts()[1], callText("glRotatef", {-c.angleX, 1, 0, 0}));
        EXPECT_EQ(glrec::callTexts()[2], callText("glRotatef", {-c.angleY, 0, 1, 0}));
        EXPECT_EQ(glrec::callTexts()[3], callText("glRotatef", {-c.angleZ, 0, 0, 1}));
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(camera.modelview[i], glrec::matrix(GL_MODELVIEW)[i]);
    }
}

// The z translation keeps the position's sign: (-x, -y, +z).
TEST_F(CameraTest, TranslationNegatesXAndYButNotZ)
{
    Camera camera;
    camera.eyeDistance = 0.0f;
    camera.body.position.set(1.0f, 2.0f, 3.0f);
    camera.applyView();
    EXPECT_EQ(glrec::callTexts()[4], callText("glTranslatef", {-1, -2, 3}));
    const float translated[4][4] = {{1, 0, 0, -1}, {0, 1, 0, -2}, {0, 0, 1, 3}, {0, 0, 0, 1}};
    expectMatrix(camera.modelview, translated);
}

TEST_F(CameraTest, ApplyProjectionUsesTheCurrentViewsAspect)
{
    ViewSet viewSet;
    viewSet.resize(800.0f, 600.0f);
    viewSet.viewCount = 2;
    viewSet.views[1].setFractions(0.0, 0.0, 0.5, 1.0);
    viewSet.layout();
    viewSet.currentView = 0;  // the camera of view 1, measured by view 0
    Camera& camera = viewSet.views[1].camera;
    camera.fieldOfView = 80.0;
    camera.nearPlane = 0.5f;
    camera.farPlane = 40.0f;
    glrec::reset();
    glTranslatef(3.0f, 0.0f, 0.0f);
    glrec::clearCalls();
    camera.applyProjection(viewSet);
    const std::vector<std::string> expected = {
        callText("glMatrixMode", {GL_PROJECTION}),
        callText("glLoadIdentity", {}),
        callText("gluPerspective", {80.0, 800.0f / 600.0f, 0.5, 40.0}),
        callText("glMatrixMode", {GL_MODELVIEW}),
        callText("glLoadIdentity", {}),
    };
    EXPECT_EQ(glrec::callTexts(), expected);
    expectMatrix(glrec::matrix(GL_MODELVIEW), identity);
    const GLfloat* projection = glrec::matrix(GL_PROJECTION);
    const double focal = 1.0 / std::tan(40.0 * 3.14159265358979323846 / 180.0);
    EXPECT_NEAR(projection[5], focal, 1e-5);
    EXPECT_NEAR(projection[0], focal / (800.0 / 600.0), 1e-5);
}

// A viewport with no positive, finite aspect projects with aspect 1.
TEST_F(CameraTest, DegenerateViewportsProjectWithAspectOne)
{
    const float infinity = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        float width, height;
        int currentView;
    } cases[] = {
        {"zero height", 800, 0, 1},
        {"zero width", 0, 300, 1},
        {"negative height", 800, -20, 1},
        {"infinite width", infinity, 300, 1},
        {"nan height", 800, nan, 1},
        {"overflowing quotient", 3e38f, 1e-3f, 1},
        {"current view out of range", 800, 300, 42},
        {"negative current view", 800, 300, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewSet viewSet;
        viewSet.views[1].viewport[4] = c.width;
        viewSet.views[1].viewport[5] = c.height;
        viewSet.currentView = c.currentView;
        glrec::reset();
        viewSet.views[1].camera.applyProjection(viewSet);
        ASSERT_EQ(glrec::calls().size(), 5u);
        EXPECT_EQ(glrec::calls()[2].name, "gluPerspective");
        EXPECT_EQ(glrec::calls()[2].args[1], 1.0);
        const GLfloat* projection = glrec::matrix(GL_PROJECTION);
        for (int i = 0; i < 16; ++i)
            EXPECT_TRUE(std::isfinite(projection[i])) << "element " << i;
        EXPECT_FLOAT_EQ(projection[0], projection[5]);
    }
}

}  // namespace
