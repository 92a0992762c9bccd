// Vec3: arithmetic, the double-precision length, and the 0.0001 floor that
// keeps normalisation and division finite.
#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

#include "math/body.h"
#include "math/vec3.h"

namespace {

// Plain values: copied as bytes, with no table of virtual functions.
static_assert(std::is_trivially_copyable_v<Vec3> && !std::is_polymorphic_v<Vec3>);
static_assert(std::is_trivially_copyable_v<Body> && !std::is_polymorphic_v<Body>);

void expectVec(const Vec3& actual, float x, float y, float z, const char* label)
{
    EXPECT_FLOAT_EQ(actual.x, x) << label;
    EXPECT_FLOAT_EQ(actual.y, y) << label;
    EXPECT_FLOAT_EQ(actual.z, z) << label;
}

TEST(Vec3Test, ConstructCopyAssignAndSet)
{
    Vec3 a(1.0f, -2.0f, 3.5f);
    const Vec3 copy(a);
    expectVec(copy, 1.0f, -2.0f, 3.5f, "copy");

    Vec3 b(9.0f, 9.0f, 9.0f);
    Vec3& result = (b = a);
    EXPECT_EQ(&result, &b);
    expectVec(b, 1.0f, -2.0f, 3.5f, "assigned");

    Vec3& self = a;
    a = self;
    expectVec(a, 1.0f, -2.0f, 3.5f, "assigned to itself");

    a.set(4.0f, 5.0f, 6.0f);
    expectVec(a, 4.0f, 5.0f, 6.0f, "set");
    expectVec(b, 1.0f, -2.0f, 3.5f, "the copy is independent");
}

TEST(Vec3Test, LengthSumsSquaresInDoublePrecision)
{
    EXPECT_EQ(Vec3(3.0f, 4.0f, 12.0f).length(), 13.0f);
    EXPECT_EQ(Vec3(0.0f, 0.0f, 0.0f).length(), 0.0f);
    EXPECT_EQ(Vec3(-3.0f, 0.0f, -4.0f).length(), 5.0f);
    // Squares that overflow or vanish in float are fine in double.
    EXPECT_EQ(Vec3(3e20f, 4e20f, 0.0f).length(), static_cast<float>(std::sqrt(9e40 + 16e40)));
    EXPECT_EQ(Vec3(3e-25f, 0.0f, 4e-25f).length(),
              static_cast<float>(std::sqrt(double(3e-25f) * 3e-25f + double(4e-25f) * 4e-25f)));
}

struct NormaliseCase {
    const char* label;
    Vec3 input;
    Vec3 expected;
};

TEST(Vec3Test, NormaliseDividesByTheLengthRaisedTo00001)
{
    const NormaliseCase cases[] = {
        {"3, 4, 0", {3.0f, 4.0f, 0.0f}, {0.6f, 0.8f, 0.0f}},
        {"negative", {0.0f, -2.0f, 0.0f}, {0.0f, -1.0f, 0.0f}},
        {"zero stays zero", {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}},
        {"shorter than the floor is multiplied by 10000", {0.00005f, 0.0f, 0.0f}, {0.5f, 0.0f, 0.0f}},
        {"exactly the floor is used as it is", {0.0001f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
    };
    for (const NormaliseCase& c : cases) {
        Vec3 v = c.input;
        v.normalise();
        expectVec(v, c.expected.x, c.expected.y, c.expected.z, c.label);
    }
    // Each component is multiplied by the float reciprocal of the length.
    Vec3 v(3.0f, 4.0f, 0.0f);
    v.normalise();
    const float reciprocal = 1.0f / 5.0f;
    EXPECT_EQ(v.x, 3.0f * reciprocal);
    EXPECT_EQ(v.y, 4.0f * reciprocal);
    Vec3 tiny(0.00005f, 0.0f, 0.0f);
    tiny.normalise();
    EXPECT_EQ(tiny.x, 0.00005f * (1.0f / 0.0001f));
}

TEST(Vec3Test, CrossAndDot)
{
    const Vec3 x(1.0f, 0.0f, 0.0f), y(0.0f, 1.0f, 0.0f);
    expectVec(x.cross(y), 0.0f, 0.0f, 1.0f, "x cross y");
    expectVec(y.cross(x), 0.0f, 0.0f, -1.0f, "y cross x");
    EXPECT_EQ(x.dot(y), 0.0f);
    const Vec3 a(1.0f, 2.0f, 3.0f), b(4.0f, -5.0f, 6.0f);
    expectVec(a.cross(b), 27.0f, 6.0f, -13.0f, "general cross");
    EXPECT_EQ(a.dot(b), 12.0f);
}

TEST(Vec3Test, SumDifferenceAndScaledCopy)
{
    const Vec3 a(1.0f, 2.0f, 3.0f), b(0.5f, -1.0f, 4.0f);
    expectVec(a + b, 1.5f, 1.0f, 7.0f, "sum");
    expectVec(a - b, 0.5f, 3.0f, -1.0f, "difference");
    const float s = -2.0f;
    expectVec(a * s, -2.0f, -4.0f, -6.0f, "scaled copy");
    expectVec(a, 1.0f, 2.0f, 3.0f, "operands unchanged");
}

TEST(Vec3Test, InPlaceOperationsReturnTheVector)
{
    Vec3 v(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(&(v += Vec3(1.0f, 1.0f, 1.0f)), &v);
    expectVec(v, 2.0f, 3.0f, 4.0f, "add");
    EXPECT_EQ(&(v -= Vec3(0.5f, 0.5f, 0.5f)), &v);
    expectVec(v, 1.5f, 2.5f, 3.5f, "subtract");
    const float two = 2.0f;
    EXPECT_EQ(&(v *= two), &v);
    expectVec(v, 3.0f, 5.0f, 7.0f, "scale");
    EXPECT_EQ(&(v /= two), &v);
    expectVec(v, 1.5f, 2.5f, 3.5f, "divide");
}

struct DivisorCase {
    float divisor;
    float used;  // what the components are divided by
};

TEST(Vec3Test, DivisionsRaiseDivisorsBelow00001)
{
    const DivisorCase cases[] = {
        {2.0f, 2.0f}, {0.0f, 0.0001f}, {-2.0f, 0.0001f}, {0.00005f, 0.0001f}, {0.0001f, 0.0001f}, {-0.0f, 0.0001f},
    };
    for (const DivisorCase& c : cases) {
        const Vec3 v(1.0f, 2.0f, 3.0f);
        const Vec3 quotient = v / c.divisor;
        EXPECT_EQ(quotient.x, 1.0f / c.used) << c.divisor;
        EXPECT_EQ(quotient.y, 2.0f / c.used) << c.divisor;
        EXPECT_EQ(quotient.z, 3.0f / c.used) << c.divisor;
        Vec3 inPlace = v;
        inPlace /= c.divisor;
        EXPECT_EQ(inPlace.x, quotient.x) << c.divisor;
        EXPECT_EQ(inPlace.y, quotient.y) << c.divisor;
        EXPECT_EQ(inPlace.z, quotient.z) << c.divisor;
    }
    const float zero = 0.0f;
    expectVec(Vec3(1.0f, 2.0f, 3.0f) / zero, 10000.0f, 20000.0f, 30000.0f, "by zero");
}

}  // namespace
