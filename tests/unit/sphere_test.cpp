#include <gtest/gtest.h>

#include <cmath>

#include "math/trig.h"
#include "scene/sphere.h"
#include "scene_elements_test_support.h"

namespace {

class SphereTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

struct Vertex {
    std::vector<double> normal;
    std::vector<double> texCoord;
    std::vector<double> position;
};

// The strips of the log: each a list of vertices with their normal and
// texture coordinate.
std::vector<std::vector<Vertex>> recordedStrips()
{
    std::vector<std::vector<Vertex>> strips;
    Vertex pending;
    for (const glrec::Call& call : glrec::calls()) {
        if (call.name == "glBegin") {
            EXPECT_EQ(call.args, (std::vector<double>{GL_TRIANGLE_STRIP}));
            strips.emplace_back();
        } else if (call.name == "glNormal3f") {
            pending.normal = call.args;
        } else if (call.name == "glTexCoord2f") {
            pending.texCoord = call.args;
        } else if (call.name == "glVertex3d") {
            pending.position = call.args;
            strips.back().push_back(pending);
        }
    }
    return strips;
}

// The sphere computed vertex by vertex, every sine, cosine and coordinate
// evaluated in place at the vertex, as the straightforward reading of the
// algorithm does.
void emitReferenceSphere(double radius, int slices, int stacks, double scaleS, double scaleT, double offsetS,
                         double offsetT)
{
    const float sliceStep = 6.2831855f / float(slices);
    const float stackStep = 3.1415927f / float(stacks - 1);
    for (int i = 0; i < stacks - 1; ++i) {
        const float phi0 = float(i) * stackStep;
        const float phi1 = float(i + 1) * stackStep;
        const float y0 = -floatCos(phi0);
        const float y1 = -floatCos(phi1);
        const float t0 = float(double(float(i) / float(stacks)) * scaleT + offsetT);
        const float t1 = float(double(float(i + 1) / float(stacks)) * scaleT + offsetT);
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= slices; ++j) {
            const float s = float(double(float(j) / float(slices)) * scaleS + offsetS);
            const float theta = j == slices ? 0.0f : float(j) * sliceStep;
            const float p1[3] = {floatSin(phi1) * floatSin(theta), y1, floatSin(phi1) * floatCos(theta)};
            const float p0[3] = {floatSin(phi0) * floatSin(theta), y0, floatSin(phi0) * floatCos(theta)};
            glNormal3f(p1[0], p1[1], p1[2]);
            glTexCoord2f(s, t1);
            glVertex3d(radius * p1[0], radius * p1[1], radius * p1[2]);
            glNormal3f(p0[0], p0[1], p0[2]);
            glTexCoord2f(s, t0);
            glVertex3d(radius * p0[0], radius * p0[1], radius * p0[2]);
        }
        glEnd();
    }
}

TEST_F(SphereTest, GridsOutsideThreeToHundredDrawNothing)
{
    const int grids[][2] = {{2, 10}, {10, 2}, {101, 10}, {10, 101}, {0, 0}, {-5, 3}, {3, -1}};
    for (const auto& grid : grids) {
        drawSphere(1.0, grid[0], grid[1], 1.0, 1.0, 0.0, 0.0);
        EXPECT_TRUE(glrec::calls().empty()) << grid[0] << " by " << grid[1];
    }
}

TEST_F(SphereTest, DrawsStacksLessOneStripsOfTwiceSlicesPlusOneVertices)
{
    const int grids[][2] = {{3, 3}, {100, 100}, {10, 10}, {32, 32}, {3, 100}, {100, 3}};
    for (const auto& grid : grids) {
        glrec::reset();
        drawSphere(2.0, grid[0], grid[1], 1.0, 1.0, 0.0, 0.0);
        const std::vector<std::vector<Vertex>> strips = recordedStrips();
        ASSERT_EQ(strips.size(), std::size_t(grid[1] - 1)) << grid[0] << " by " << grid[1];
        for (const std::vector<Vertex>& strip : strips) {
            EXPECT_EQ(strip.size(), std::size_t(2 * (grid[0] + 1)));
        }
        EXPECT_EQ(glrec::countCalls("glEnd"), strips.size());
        EXPECT_EQ(glrec::calls().size(), strips.size() * (2 + 6 * std::size_t(grid[0] + 1)));
    }
}

TEST_F(SphereTest, MatchesTheVertexByVertexComputationExactly)
{
    struct Case {
        double radius;
        int slices, stacks;
        double scaleS, scaleT, offsetS, offsetT;
    };
    const Case cases[] = {
        {1.0, 32, 32, 32.0, 8.0, 0.15f * 1234.567, 1.11 * 0.15f * 1234.567},
        {0.03, 10, 10, 1.0, 1.0, 0.0, 0.0},
        {2.5, 3, 3, -3.0, 0.5, -7.25, 100.125},
        {1.0, 100, 100, 1.0, 1.0, 1e6, -1e6},
        {0.7, 17, 45, 2.0, 3.0, 0.1, 0.2},
    };
    for (const Case& c : cases) {
        glrec::reset();
        drawSphere(c.radius, c.slices, c.stacks, c.scaleS, c.scaleT, c.offsetS, c.offsetT);
        const std::vector<glrec::Call> actual = glrec::calls();
        glrec::reset();
        emitReferenceSphere(c.radius, c.slices, c.stacks, c.scaleS, c.scaleT, c.offsetS, c.offsetT);
        const std::vector<glrec::Call>& expected = glrec::calls();
        ASSERT_EQ(actual.size(), expected.size()) << c.slices << " by " << c.stacks;
        for (std::size_t i = 0; i < actual.size(); ++i) {
            ASSERT_EQ(actual[i].name, expected[i].name) << i;
            ASSERT_EQ(actual[i].args, expected[i].args) << i << ": " << actual[i].text();
        }
    }
}

TEST_F(SphereTest, SeamColumnRepeatsTheFirstPositionWithSRunOnByScale)
{
    drawSphere(1.5, 7, 5, 3.0, 1.0, 0.25, 0.0);
    for (const std::vector<Vertex>& strip : recordedStrips()) {
        const std::size_t last = strip.size() - 2;
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_EQ(strip[k].position, strip[last + k].position);
            EXPECT_EQ(strip[k].normal, strip[last + k].normal);
            EXPECT_DOUBLE_EQ(strip[k].texCoord[0], 0.25f);
            EXPECT_NEAR(strip[last + k].texCoord[0] - strip[k].texCoord[0], 3.0, 1e-6);
        }
    }
}

TEST_F(SphereTest, BandsEndAtThePolesAndNormalsPointOutward)
{
    const double radius = 2.0;
    drawSphere(radius, 12, 9, 1.0, 1.0, 0.0, 0.0);
    const std::vector<std::vector<Vertex>> strips = recordedStrips();
    const std::vector<double> bottom = {0.0, -radius, 0.0};
    const std::vector<double> top = {0.0, radius, 0.0};
    for (std::size_t k = 0; k < strips.front().size(); k += 2) {
        const Vertex& lower = strips.front()[k + 1];
        const Vertex& upper = strips.back()[k];
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(lower.position[axis], bottom[axis], 1e-6);
            EXPECT_NEAR(upper.position[axis], top[axis], 1e-6);
        }
    }
    for (const std::vector<Vertex>& strip : strips) {
        for (const Vertex& vertex : strip) {
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(vertex.position[axis], radius * vertex.normal[axis], 1e-12);
            }
        }
    }
}

TEST_F(SphereTest, ThreeStacksPutTheMiddleRingOnTheEquator)
{
    drawSphere(1.0, 3, 3, 1.0, 1.0, 0.0, 0.0);
    const std::vector<std::vector<Vertex>> strips = recordedStrips();
    ASSERT_EQ(strips.size(), 2u);
    for (std::size_t k = 0; k < 8; k += 2) {
        EXPECT_NEAR(strips[0][k].position[1], 0.0, 1e-6);      // upper of the lower band
        EXPECT_NEAR(strips[1][k + 1].position[1], 0.0, 1e-6);  // lower of the upper band
        EXPECT_EQ(strips[0][k].position, strips[1][k + 1].position);
    }
}

TEST_F(SphereTest, TextureTRunsFromZeroToStacksLessOneOverStacks)
{
    for (int stacks : {3, 4, 10, 32}) {
        glrec::reset();
        drawSphere(1.0, 5, stacks, 1.0, 1.0, 0.0, 0.0);
        const std::vector<std::vector<Vertex>> strips = recordedStrips();
        EXPECT_EQ(strips.front()[1].texCoord[1], 0.0) << stacks;
        EXPECT_EQ(strips.back()[0].texCoord[1], double(float(stacks - 1) / float(stacks))) << stacks;
    }
}

// Whether the triangle a, b, c winds counter-clockwise seen from outside.
bool facesOutward(const Vertex& a, const Vertex& b, const Vertex& c)
{
    const std::vector<double>& p = a.position;
    const double u[3] = {b.position[0] - p[0], b.position[1] - p[1], b.position[2] - p[2]};
    const double v[3] = {c.position[0] - p[0], c.position[1] - p[1], c.position[2] - p[2]};
    const double normal[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double centre[3] = {p[0] + b.position[0] + c.position[0], p[1] + b.position[1] + c.position[1],
                              p[2] + b.position[2] + c.position[2]};
    return normal[0] * centre[0] + normal[1] * centre[1] + normal[2] * centre[2] > 0.0;
}

TEST_F(SphereTest, OutwardFacesWindCounterClockwise)
{
    drawSphere(1.0, 8, 6, 1.0, 1.0, 0.0, 0.0);
    const std::vector<std::vector<Vertex>> strips = recordedStrips();
    for (std::size_t band = 0; band < strips.size(); ++band) {
        const std::vector<Vertex>& strip = strips[band];
        // First triangle: upper, lower, next upper; it collapses only at the
        // top pole. Second: GL takes it as next upper, lower, next lower; it
        // collapses only at the bottom pole.
        if (band + 1 < strips.size()) {
            EXPECT_TRUE(facesOutward(strip[0], strip[1], strip[2])) << band;
        }
        if (band > 0) {
            EXPECT_TRUE(facesOutward(strip[2], strip[1], strip[3])) << band;
        }
    }
}

TEST_F(SphereTest, ShapePassDrawsTheUnitBallWithOffsetsGrowingWithTime)
{
    for (double time : {0.0, 1.0, 86400.0}) {
        glrec::reset();
        drawShapePass(time);
        const std::vector<glrec::Call>& calls = glrec::calls();
        EXPECT_EQ(calls.front().name, "glPushMatrix");
        EXPECT_EQ(calls.back().name, "glPopMatrix");
        const std::vector<std::vector<Vertex>> strips = recordedStrips();
        ASSERT_EQ(strips.size(), 31u);
        EXPECT_EQ(strips[0].size(), 66u);

        const double offsetS = double(0.15f) * time;
        const double offsetT = 1.11 * double(0.15f) * time;
        // Column 0 of the bottom band: s = offsetS, lower t = offsetT, upper
        // t = 8 / 32 + offsetT; the seam's s is 32 repeats further on. Compared
        // as floats, the coordinates' own precision.
        EXPECT_EQ(float(strips[0][1].texCoord[0]), float(offsetS)) << time;
        EXPECT_EQ(float(strips[0][1].texCoord[1]), float(offsetT)) << time;
        EXPECT_EQ(float(strips[0][0].texCoord[1]), float(0.25 + offsetT)) << time;
        EXPECT_EQ(float(strips[0][64].texCoord[0]), float(32.0 + offsetS)) << time;

        glrec::reset();
        emitReferenceSphere(1.0, 32, 32, 32.0, 8.0, offsetS, offsetT);
        const std::vector<glrec::Call> reference = glrec::calls();
        glrec::reset();
        drawShapePass(time);
        std::vector<glrec::Call> sphereCalls(glrec::calls().begin() + 1, glrec::calls().end() - 1);
        ASSERT_EQ(sphereCalls.size(), reference.size());
        for (std::size_t i = 0; i < reference.size(); ++i) {
            ASSERT_EQ(sphereCalls[i].args, reference[i].args) << i;
        }
    }
}

}  // namespace
