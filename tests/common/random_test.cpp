// The process-wide generator: its raw values, the draws built on them and how
// many values each draw takes. Expected values come from the generator's
// formula written out here, independently of the code under test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "math/random.h"

namespace {

constexpr std::uint32_t sceneSeed = 4450264;

std::uint32_t advance(std::uint32_t state) { return state * 214013u + 2531011u; }

int valueOf(std::uint32_t state) { return static_cast<int>((state >> 16) & 0x7FFFu); }

// The seed whose first draw leaves the generator in `state`: 214013 is odd, so
// the step can be undone with its inverse modulo 2^32.
std::uint32_t seedBefore(std::uint32_t state)
{
    constexpr std::uint32_t inverseMultiplier = 3115528533u;
    static_assert(214013u * inverseMultiplier == 1u, "inverse of the multiplier modulo 2^32");
    return (state - 2531011u) * inverseMultiplier;
}

class RandomTest : public ::testing::Test {
protected:
    void TearDown() override { randomSeed(sceneSeed); }
};

TEST_F(RandomTest, FirstValuesAfterTheSceneSeedFollowTheFormula)
{
    randomSeed(sceneSeed);
    EXPECT_EQ(randomState(), sceneSeed);
    std::uint32_t state = sceneSeed;
    for (int i = 0; i < 1000; ++i) {
        state = advance(state);
        ASSERT_EQ(randomNext(), valueOf(state)) << "draw " << i;
        ASSERT_EQ(randomState(), state) << "draw " << i;
    }
}

TEST_F(RandomTest, FirstValuesAfterTheSceneSeedArePinned)
{
    randomSeed(sceneSeed);
    const int expected[] = {16504, 1882, 20582, 16284, 26779, 18599};
    for (int value : expected)
        EXPECT_EQ(randomNext(), value);
    EXPECT_EQ(randomState(), 1218956150u);
}

TEST_F(RandomTest, ValuesCoverZeroTo32767WithBit31Dropped)
{
    struct Case {
        std::uint32_t stateAfter;
        int value;
    };
    const Case cases[] = {
        {0x00000000u, 0}, {0x7FFF0000u, 32767}, {0xFFFFFFFFu, 32767}, {0x80000000u, 0}, {0x0001FFFFu, 1},
    };
    for (const Case& c : cases) {
        randomSeed(seedBefore(c.stateAfter));
        EXPECT_EQ(randomNext(), c.value) << std::hex << c.stateAfter;
        EXPECT_EQ(randomState(), c.stateAfter);
    }
}

TEST_F(RandomTest, UniformDividesBy32768AndScalesInItsOwnPrecision)
{
    const double scales[] = {1.0, 0.1, 50.0, 360.0, -2.5};
    for (const double scale : scales) {
        for (std::uint32_t seed : {sceneSeed, 1u, 0xDEADBEEFu}) {
            const int value = valueOf(advance(seed));
            randomSeed(seed);
            EXPECT_EQ(randomUniform(scale), value / 32768.0 * scale) << scale;
            EXPECT_EQ(randomState(), advance(seed)) << "one draw";

            const float floatScale = static_cast<float>(scale);
            randomSeed(seed);
            EXPECT_EQ(randomUniform(floatScale), static_cast<float>(value) / 32768.0f * floatScale) << scale;
            EXPECT_EQ(randomState(), advance(seed)) << "one draw";
        }
    }
    // The two forms really differ: 0.1 as a float is not 0.1 as a double.
    randomSeed(sceneSeed);
    const double inDouble = randomUniform(0.1);
    randomSeed(sceneSeed);
    const float inFloat = randomUniform(0.1f);
    EXPECT_NE(inDouble, static_cast<double>(inFloat));
}

TEST_F(RandomTest, UniformStaysBelowItsScale)
{
    for (const std::uint32_t stateAfter : {0x7FFF0000u, 0u}) {
        randomSeed(seedBefore(stateAfter));
        const double largestOrSmallest = randomUniform(50.0);
        randomSeed(seedBefore(stateAfter));
        const float inFloat = randomUniform(50.0f);
        EXPECT_GE(largestOrSmallest, 0.0);
        EXPECT_LT(largestOrSmallest, 50.0);
        EXPECT_GE(inFloat, 0.0f);
        EXPECT_LT(inFloat, 50.0f);
    }
    randomSeed(seedBefore(0x7FFF0000u));
    EXPECT_EQ(randomUniform(1.0), 32767.0 / 32768.0);
}

TEST_F(RandomTest, GaussSumsSixUniformsInOrderAndScalesBy1414)
{
    for (const double scale : {1.0, 0.5, 300.0}) {
        std::uint32_t state = sceneSeed;
        double sum = 0.0;
        for (int i = 0; i < 6; ++i) {
            state = advance(state);
            sum += valueOf(state) / 32768.0;
        }
        randomSeed(sceneSeed);
        const double gauss = randomGauss(scale);
        EXPECT_EQ(gauss, (sum - 3.0) * 1.414 * scale);
        EXPECT_NE(gauss, (sum - 3.0) * std::sqrt(2.0) * scale) << "the constant is 1.414, not the root of 2";
        EXPECT_EQ(randomState(), state) << "six draws";
    }
}

TEST_F(RandomTest, GaussNeverGoesBeyondThreeTimes1414TimesItsScale)
{
    // Six largest values give (6 * 32767 / 32768 - 3) * 1.414 * x, just
    // inside the bound; six zeros give exactly -3 * 1.414 * x.
    const double scale = 2.0;
    const double bound = 3.0 * 1.414 * scale;
    EXPECT_LT((6.0 * 32767.0 / 32768.0 - 3.0) * 1.414 * scale, bound);
    randomSeed(sceneSeed);
    double largest = 0.0;
    for (int i = 0; i < 200000; ++i)
        largest = std::fmax(largest, std::fabs(randomGauss(scale)));
    EXPECT_LE(largest, bound);
    EXPECT_GT(largest, 0.5 * bound) << "the tails are reached at all";
}

TEST_F(RandomTest, PoweredSquaresTheRunningValueNMinusOneTimes)
{
    struct Case {
        int n;
        float (*expected)(float u);
    };
    const Case cases[] = {
        {0, [](float u) { return u; }},
        {1, [](float u) { return u; }},
        {2, [](float u) { return u * u; }},
        {3, [](float u) { return (u * u) * (u * u); }},  // u to the 4th, not u cubed
        {4, [](float u) {
             const float fourth = (u * u) * (u * u);
             return fourth * fourth;
         }},
    };
    for (const Case& c : cases) {
        for (std::uint32_t seed : {sceneSeed, 77u}) {
            const float u = static_cast<float>(valueOf(advance(seed))) / 32768.0f;
            randomSeed(seed);
            EXPECT_EQ(randomPowered(c.n), c.expected(u)) << "n " << c.n;
            EXPECT_EQ(randomState(), advance(seed)) << "one draw";
        }
    }
    randomSeed(sceneSeed);
    const float u = static_cast<float>(valueOf(advance(sceneSeed))) / 32768.0f;
    EXPECT_NE(randomPowered(3), u * u * u);
}

}  // namespace
