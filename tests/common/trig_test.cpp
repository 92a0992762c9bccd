// Sine, cosine and arctangent from basic arithmetic: close to the C library
// on either target, and bit for bit the same natively and on 32-bit Windows
// (the pinned values and the hash hold under Wine as they do natively).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "math/trig.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double pi = 0x1.921fb54442d18p+1;

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint32_t bitsOf(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Doubles mapped to integers in the order of their values, so the
// difference of two is their distance in ulps.
std::int64_t orderedBits(double value)
{
    const std::int64_t bits = std::int64_t(bitsOf(value));
    return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
}

std::uint64_t ulpsApart(double a, double b)
{
    const std::int64_t ordA = orderedBits(a);
    const std::int64_t ordB = orderedBits(b);
    return ordA > ordB ? std::uint64_t(ordA) - std::uint64_t(ordB)
                       : std::uint64_t(ordB) - std::uint64_t(ordA);
}

// A float from a double that is within an ulp of the library's: the float of
// the library's value, or of one of its neighbours when a float rounding
// boundary lies that close.
::testing::AssertionResult roundsLikeLibrary(float mine, double library)
{
    if (mine == float(library) || mine == float(std::nextafter(library, infinity)) ||
        mine == float(std::nextafter(library, -infinity)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::hexfloat << mine << " against the library's " << library;
}

// The 32-bit Windows C library reduces by a 66-bit pi: its sine of the
// double nearest pi, and of large phases, is off by many ulps. Against such
// a library only the pinned bits below say anything; they equal the native
// results, which these tests hold to an accurate library.
bool libraryReducesAccurately()
{
    volatile double nearestPi = pi;
    return std::sin(nearestPi) == 0x1.1a62633145c07p-53;
}

constexpr const char* inaccurateLibrary = "this C library's sine is too coarse to compare with";

TEST(Trig, SineAndCosineStayWithinAnUlpOfTheLibraryOverADenseRange)
{
    if (!libraryReducesAccurately())
        GTEST_SKIP() << inaccurateLibrary;
    constexpr int points = 100000;
    for (int i = 0; i <= points; ++i) {
        const double x = -100.0 + 200.0 * i / points + 0x1p-20 * (i % 7);
        ASSERT_LE(ulpsApart(sineOf(x), std::sin(x)), 1u) << std::hexfloat << x;
        ASSERT_LE(ulpsApart(cosineOf(x), std::cos(x)), 1u) << std::hexfloat << x;
    }
}

TEST(Trig, SineAndCosineStayWithinAnUlpNearMultiplesOfAQuarterTurn)
{
    if (!libraryReducesAccurately())
        GTEST_SKIP() << inaccurateLibrary;
    // The doubles around k * pi / 2 leave the smallest reduced angles, where
    // a careless reduction loses every significant bit.
    for (int k = -2000; k <= 2000; ++k) {
        const double nearest = k * (0.5 * pi);
        for (double x : {nearest, std::nextafter(nearest, -infinity),
                         std::nextafter(nearest, infinity)}) {
            ASSERT_LE(ulpsApart(sineOf(x), std::sin(x)), 1u) << std::hexfloat << x;
            ASSERT_LE(ulpsApart(cosineOf(x), std::cos(x)), 1u) << std::hexfloat << x;
        }
    }
}

TEST(Trig, SineAndCosineStayWithinAnUlpForLargePhases)
{
    if (!libraryReducesAccurately())
        GTEST_SKIP() << inaccurateLibrary;
    // Oscillator phases grow without bound; up to 2^40 the reduction is
    // exact.
    const double starts[] = {1e6, -3.75e7, 123456789.125, 4.5e9, -9.87654321e11};
    for (double start : starts) {
        for (int i = 0; i < 2000; ++i) {
            const double x = start + i * 0.731;
            ASSERT_LE(ulpsApart(sineOf(x), std::sin(x)), 1u) << std::hexfloat << x;
            ASSERT_LE(ulpsApart(cosineOf(x), std::cos(x)), 1u) << std::hexfloat << x;
        }
    }
}

TEST(Trig, ArcTangentStaysWithinAnUlpOfTheLibraryInEveryQuadrant)
{
    // A grid over all four quadrants and both sides of the diagonals, with
    // a few lopsided ratios where one coordinate is tiny beside the other.
    for (int i = -150; i <= 150; ++i) {
        for (int j = -150; j <= 150; ++j) {
            const double y = i * 0.0671 + 0x1p-30 * j;
            const double x = j * 0.0593 - 0x1p-31 * i;
            ASSERT_LE(ulpsApart(arcTangent2(y, x), std::atan2(y, x)), 1u)
                << std::hexfloat << y << ", " << x;
        }
    }
    const double lopsided[][2] = {
        {1e-17, 1.0}, {1.0, 1e-17}, {-1e-200, -3.0}, {3e-300, 1e300}, {-7e307, 1e-307},
        {1e-310, 2e-310}, {5.0, -1e-19}, {0x1p-60, 1.0}, {0x1p-61, 1.0},
    };
    for (const auto& point : lopsided) {
        EXPECT_LE(ulpsApart(arcTangent2(point[0], point[1]), std::atan2(point[0], point[1])), 1u)
            << std::hexfloat << point[0] << ", " << point[1];
    }
}

TEST(Trig, FloatVersionsRoundTheLibrarysDoubleResult)
{
    for (int i = 0; i <= 100000; ++i) {
        const float x = -100.0f + 0.002f * float(i);
        ASSERT_TRUE(roundsLikeLibrary(floatSin(x), std::sin(double(x)))) << std::hexfloat << x;
        ASSERT_TRUE(roundsLikeLibrary(floatCos(x), std::cos(double(x)))) << std::hexfloat << x;
    }
    for (int i = -100; i <= 100; ++i) {
        for (int j = -100; j <= 100; ++j) {
            const float y = float(i) * 0.37f;
            const float x = float(j) * 0.29f;
            ASSERT_TRUE(roundsLikeLibrary(floatAtan2(y, x), std::atan2(double(y), double(x))))
                << std::hexfloat << y << ", " << x;
        }
    }
}

struct SineCosineBits {
    double x;
    double sine;
    double cosine;
};

TEST(Trig, SineAndCosineGiveThePinnedBits)
{
    const SineCosineBits cases[] = {
        {1.0, 0x1.aed548f090ceep-1, 0x1.14a280fb5068cp-1},
        {-2.5, -0x1.326af0dcfcabp-1, -0x1.9a2f7ef858b7dp-1},
        // The doubles nearest pi and pi / 2: what is left is pi's own error.
        {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53, -0x1p+0},
        {0x1.921fb54442d18p+0, 0x1p+0, 0x1.1a62633145c07p-54},
        {100.0, -0x1.03425b78c4db8p-1, 0x1.b981dbf665fdfp-1},
        {0x1.81cd6c8b43958p+13, -0x1.687d5890974a5p-1, 0x1.6b94c3bbe24b8p-1},
        {1e6, -0x1.6664b2568d867p-2, 0x1.df9df9906d32cp-1},
        {-0x1.8p+33, 0x1.fbac639f176a8p-1, -0x1.09aee8a07a8edp-3},
        // Beyond 2^40: taken modulo the double 2 pi first.
        {1e20, 0x1.e53b1cc63debfp-1, -0x1.46c59a36ce738p-2},
    };
    for (const SineCosineBits& c : cases) {
        EXPECT_EQ(bitsOf(sineOf(c.x)), bitsOf(c.sine)) << std::hexfloat << c.x;
        EXPECT_EQ(bitsOf(cosineOf(c.x)), bitsOf(c.cosine)) << std::hexfloat << c.x;
    }
}

struct ArcTangentBits {
    double y;
    double x;
    double angle;
};

TEST(Trig, ArcTangentGivesThePinnedBits)
{
    const ArcTangentBits cases[] = {
        {1.0, -1.0, 0x1.2d97c7f3321d2p+1},
        {-3.0, 4.0, -0x1.4978fa3269ee1p-1},
        {0x1p-70, -2.0, 0x1.921fb54442d18p+1},
        {5.0, 1e-3, 0x1.921299d2d032p+0},
        {-7.0, -7.0, -0x1.2d97c7f3321d2p+1},
        {1e300, 3e299, 0x1.4782cbabc8157p+0},
    };
    for (const ArcTangentBits& c : cases)
        EXPECT_EQ(bitsOf(arcTangent2(c.y, c.x)), bitsOf(c.angle)) << c.y << ", " << c.x;
}

TEST(Trig, FloatVersionsGiveThePinnedBits)
{
    EXPECT_EQ(bitsOf(floatSin(2.5f)), bitsOf(0x1.326afp-1f));
    EXPECT_EQ(bitsOf(floatCos(2.5f)), bitsOf(-0x1.9a2f7ep-1f));
    EXPECT_EQ(bitsOf(floatSin(-0.3f)), bitsOf(-0x1.2e9cdap-2f));
    EXPECT_EQ(bitsOf(floatCos(-0.3f)), bitsOf(0x1.e921dep-1f));
    EXPECT_EQ(bitsOf(floatSin(1000.75f)), bitsOf(0x1.fa0a0ep-1f));
    EXPECT_EQ(bitsOf(floatCos(1000.75f)), bitsOf(-0x1.3798a8p-3f));
    EXPECT_EQ(bitsOf(floatAtan2(0.6f, 0.8f)), bitsOf(0x1.4978fap-1f));
}

// FNV-1a over the bit patterns.
struct BitHash {
    std::uint64_t value = 14695981039346656037u;
    void add(std::uint64_t bits)
    {
        for (int byte = 0; byte < 8; ++byte) {
            value ^= (bits >> (8 * byte)) & 0xffu;
            value *= 1099511628211u;
        }
    }
};

TEST(Trig, TenThousandResultsHashToThePinnedValue)
{
    BitHash hash;
    for (int i = 0; i < 10000; ++i) {
        const double x = (i - 5000) * 0.0123456789 + (i % 13) * 1234.5;
        const double y = (i % 101 - 50) * 0.173;
        const double z = (i / 101 - 49) * 0.211;
        hash.add(bitsOf(sineOf(x)));
        hash.add(bitsOf(cosineOf(x)));
        hash.add(bitsOf(arcTangent2(y, z)));
        hash.add(bitsOf(floatSin(float(x))));
        hash.add(bitsOf(floatCos(float(x))));
        // The smallest reduced angles, next to multiples of pi / 2.
        const double quarterTurns = (i - 5000) * (0.5 * pi);
        hash.add(bitsOf(sineOf(quarterTurns)));
        hash.add(bitsOf(cosineOf(quarterTurns)));
    }
    EXPECT_EQ(hash.value, 0x196c5d0881f31c69u);
}

TEST(Trig, SpecialValues)
{
    EXPECT_EQ(bitsOf(sineOf(-0.0)), bitsOf(-0.0));
    EXPECT_EQ(bitsOf(sineOf(0.0)), bitsOf(0.0));
    EXPECT_EQ(cosineOf(-0.0), 1.0);
    EXPECT_EQ(bitsOf(floatSin(-0.0f)), bitsOf(-0.0f));
    EXPECT_EQ(sineOf(0x1p-1074), 0x1p-1074);
    EXPECT_EQ(sineOf(-0x1p-30), -0x1p-30);
    for (double bad : {notANumber, infinity, -infinity}) {
        EXPECT_TRUE(std::isnan(sineOf(bad))) << bad;
        EXPECT_TRUE(std::isnan(cosineOf(bad))) << bad;
    }
    EXPECT_TRUE(std::isnan(floatCos(std::numeric_limits<float>::infinity())));
    EXPECT_TRUE(std::isnan(arcTangent2(notANumber, 1.0)));
    EXPECT_TRUE(std::isnan(arcTangent2(1.0, notANumber)));
}

TEST(Trig, ArcTangentOfZerosAndInfinitiesMatchesTheLibrary)
{
    const double values[] = {0.0, -0.0, 1.5, -1.5, infinity, -infinity};
    for (double y : values) {
        for (double x : values) {
            EXPECT_EQ(bitsOf(arcTangent2(y, x)), bitsOf(std::atan2(y, x)))
                << y << ", " << x;
        }
    }
}

}  // namespace
