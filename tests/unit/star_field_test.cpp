#include <gtest/gtest.h>

#include <cmath>

#include "animation/camera.h"
#include "math/random.h"
#include "scene/star_field.h"
#include "scene_elements_test_support.h"

namespace {

class StarFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        randomSeed(4450264);
    }

    // The scene's configuration.
    static void useSceneValues(StarField& stars)
    {
        stars.count = 666;
        stars.passes = 2;
        stars.outerSize = 3.0;
        stars.innerSize = 0.0;
        stars.blend = 1;
        stars.depthTest = 0;
        stars.depthWrite = 0;
        stars.shape = upperHalfBallShell;
        stars.followCamera = 1;
        stars.fog = 0;
        stars.colourLow = 0.2;
        stars.colourHigh = 0.8;
    }

    // The vertices compiled into the list.
    static std::vector<glrec::Call> vertices() { return callsNamed("glVertex3d"); }

    static double radius(const glrec::Call& vertex)
    {
        return std::sqrt(vertex.args[0] * vertex.args[0] + vertex.args[1] * vertex.args[1] +
                         vertex.args[2] * vertex.args[2]);
    }
};

TEST_F(StarFieldTest, TenPointsInThreePassesCompileThreePointsReplayedThreeTimes)
{
    StarField stars;
    stars.count = 10;
    stars.passes = 3;
    stars.build();
    ASSERT_NE(stars.listId, 0u);
    EXPECT_EQ(glrec::liveLists(), std::vector<GLuint>{stars.listId});

    std::vector<std::string> names;
    for (const glrec::Call& call : glrec::calls()) {
        names.push_back(call.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"glGenLists", "glNewList", "glBegin", "glColor3d", "glVertex3d",
                                               "glColor3d", "glVertex3d", "glColor3d", "glVertex3d", "glEnd",
                                               "glEndList"}));
    EXPECT_EQ(callsNamed("glNewList")[0].args, (std::vector<double>{double(stars.listId), GL_COMPILE}));
    EXPECT_EQ(callsNamed("glBegin")[0].args, (std::vector<double>{GL_POINTS}));

    glrec::clearCalls();
    Camera camera;
    stars.draw(camera);
    const double list = stars.listId;
    expectCalls({
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
        {"glEnable", {GL_BLEND}},
        {"glDisable", {GL_DEPTH_TEST}},
        {"glDepthMask", {GL_FALSE}},
        {"glPushMatrix", {}},
        {"glRotatef", {120, 0, 1, 0}},
        {"glPointSize", {1}},
        {"glCallList", {list}},
        {"glRotatef", {120, 0, 1, 0}},
        {"glPointSize", {2}},
        {"glCallList", {list}},
        {"glRotatef", {120, 0, 1, 0}},
        {"glPointSize", {3}},
        {"glCallList", {list}},
        {"glPopMatrix", {}},
        {"glDisable", {GL_BLEND}},
    });
}

TEST_F(StarFieldTest, DrawFollowsTheEyeWithNegatedZAndSetsTheFlaggedState)
{
    StarField stars;
    stars.passes = 2;
    stars.blend = 0;
    stars.depthTest = 1;
    stars.depthWrite = 1;
    stars.followCamera = 1;
    stars.build();
    glrec::clearCalls();

    Camera camera;
    camera.body.position.set(1.0f, 2.0f, 3.0f);
    stars.draw(camera);
    const double list = stars.listId;
    expectCalls({
        {"glEnable", {GL_DEPTH_TEST}},
        {"glDepthMask", {GL_TRUE}},
        {"glPushMatrix", {}},
        {"glTranslatef", {1, 2, -3}},
        {"glRotatef", {180, 0, 1, 0}},
        {"glPointSize", {1}},
        {"glCallList", {list}},
        {"glRotatef", {180, 0, 1, 0}},
        {"glPointSize", {2}},
        {"glCallList", {list}},
        {"glPopMatrix", {}},
        {"glDisable", {GL_DEPTH_TEST}},
    });
    const GLfloat* modelview = glrec::matrix(GL_MODELVIEW);
    EXPECT_EQ(modelview[12], 0.0f);
    EXPECT_EQ(modelview[14], 0.0f);
}

TEST_F(StarFieldTest, ColoursAreDrawnBlueGreenRedAfterThePosition)
{
    StarField stars;
    stars.count = 100;
    stars.shape = ballShell;
    stars.build();
    const std::vector<glrec::Call> colours = callsNamed("glColor3d");
    const std::vector<glrec::Call> points = vertices();
    ASSERT_EQ(colours.size(), 100u);

    randomSeed(4450264);
    const float half = 1.0f;
    const float innerHalf = 0.01f;
    int rare = 0;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        ShellPoint point;
        ASSERT_TRUE(drawShellPoint(ballShell, half, innerHalf, point));
        EXPECT_EQ(points[i].args, (std::vector<double>{point.x, point.y, point.z})) << i;
        const bool isRare = randomUniform(1.0) < 0.1;
        rare += isRare;
        const double base = isRare ? 0.3 : 0.7;
        const double spread = isRare ? 0.7 : 0.3;
        const double blue = base + randomUniform(spread);
        const double green = base + randomUniform(spread);
        const double red = base + randomUniform(spread);
        EXPECT_EQ(colours[i].args, (std::vector<double>{red, green, blue})) << i;
    }
    EXPECT_GT(rare, 0);
}

TEST_F(StarFieldTest, SceneStarsFormAnUpperDomeInTheSceneColours)
{
    StarField stars;
    useSceneValues(stars);
    stars.build();
    const std::vector<glrec::Call> points = vertices();
    ASSERT_EQ(points.size(), 333u);
    for (const glrec::Call& point : points) {
        EXPECT_GE(point.args[1], 0.0);
        EXPECT_LE(radius(point), 1.5);
        EXPECT_GE(radius(point), 0.01 - 1e-9);
    }
    for (const glrec::Call& colour : callsNamed("glColor3d")) {
        for (double channel : colour.args) {
            EXPECT_GE(channel, 0.2);
            EXPECT_LT(channel, 1.0);
        }
    }
}

TEST_F(StarFieldTest, HollowIsCappedAtNineTenthsAndShellsKeepTheirRadii)
{
    for (VolumeShape shape : {ballShell, upperHalfBallShell}) {
        glrec::reset();
        StarField stars;
        stars.count = 500;
        stars.outerSize = 3.0;
        stars.innerSize = 2.9;
        stars.shape = shape;
        stars.build();
        EXPECT_EQ(stars.innerSize, 0.9 * 3.0);
        const std::vector<glrec::Call> points = vertices();
        ASSERT_EQ(points.size(), 500u);
        for (const glrec::Call& point : points) {
            EXPECT_GE(radius(point), 1.36 - 1e-6);
            EXPECT_LE(radius(point), 1.5);
        }
    }
}

TEST_F(StarFieldTest, CubeShellKeepsOneCoordinateOutOfTheHollow)
{
    StarField stars;
    stars.count = 300;
    stars.outerSize = 2.0;
    stars.innerSize = 1.5;
    stars.shape = cubeShell;
    stars.build();
    for (const glrec::Call& point : vertices()) {
        double largest = 0.0;
        for (double coordinate : point.args) {
            EXPECT_LT(coordinate, 1.0);
            EXPECT_GE(coordinate, -1.0);
            largest = std::fmax(largest, std::fabs(coordinate));
        }
        EXPECT_GE(largest, 0.76f);
    }
}

TEST_F(StarFieldTest, DrawWithoutAListMakesNoCall)
{
    StarField stars;
    Camera camera;
    stars.draw(camera);
    EXPECT_TRUE(glrec::calls().empty());

    glrec::failGenLists(true);
    stars.build();
    EXPECT_EQ(stars.listId, 0u);
    glrec::clearCalls();
    stars.draw(camera);
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(StarFieldTest, DeleteListTwiceDeletesOnceAndRebuildReplacesTheList)
{
    StarField stars;
    stars.build();
    const GLuint first = stars.listId;
    stars.build();
    EXPECT_EQ(glrec::liveLists(), std::vector<GLuint>{stars.listId});
    EXPECT_NE(stars.listId, first);

    const double second = stars.listId;
    glrec::clearCalls();
    stars.deleteList();
    stars.deleteList();
    expectCalls({{"glDeleteLists", {second, 1}}});
    EXPECT_EQ(stars.listId, 0u);
    EXPECT_TRUE(glrec::liveLists().empty());
}

TEST_F(StarFieldTest, UnsampleableConfigurationsBuildNoListAndDrawNothing)
{
    struct Case {
        const char* what;
        int passes;
        double outerSize, innerSize;
        VolumeShape shape;
    };
    const Case cases[] = {
        {"no passes", 0, 2.0, 0.0, ballShell},
        {"negative passes", -3, 2.0, 0.0, cubeShell},
        {"hollow beyond the ball", 1, 0.1, 0.09, ballShell},
        {"hollow beyond the cube", 1, 0.1, 0.09, cubeShell},
        {"hollow at the half ball's rim", 1, 0.2, 0.18, upperHalfBallShell},
        {"empty volume", 2, 0.0, 0.0, cubeShell},
    };
    for (const Case& c : cases) {
        glrec::reset();
        StarField stars;
        stars.build();
        ASSERT_NE(stars.listId, 0u);
        stars.passes = c.passes;
        stars.outerSize = c.outerSize;
        stars.innerSize = c.innerSize;
        stars.shape = c.shape;
        const std::uint32_t before = randomState();
        stars.build();
        EXPECT_EQ(stars.listId, 0u) << c.what;
        EXPECT_TRUE(glrec::liveLists().empty()) << c.what;
        EXPECT_EQ(randomState(), before) << c.what;
        glrec::clearCalls();
        Camera camera;
        stars.draw(camera);
        EXPECT_TRUE(glrec::calls().empty()) << c.what;
    }
}

TEST_F(StarFieldTest, ShellThatAcceptsNoCandidateStopsAfterTheAttemptLimit)
{
    // A negative hollow is not capped; squared, it lies outside the ball.
    StarField stars;
    stars.count = 5;
    stars.outerSize = 2.0;
    stars.innerSize = -5.0;
    stars.shape = ballShell;
    const std::uint32_t before = randomState();
    stars.build();
    EXPECT_NE(stars.listId, 0u);
    EXPECT_TRUE(vertices().empty());
    EXPECT_EQ(drawsBetween(before, randomState(), 3L * shellAttemptLimit), 3L * shellAttemptLimit);
}

}  // namespace
