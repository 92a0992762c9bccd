#include "animation/oscillator.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "math/random.h"

namespace {

constexpr std::uint32_t multiplier = 214013u;
constexpr std::uint32_t increment = 2531011u;

std::uint32_t advanced(std::uint32_t state) { return state * multiplier + increment; }

// Seeds the generator so that its next raw value is `value` (0 to 32767), by
// running the generator's step backwards from a state with those bits.
void seedForNextValue(int value)
{
    std::uint32_t inverse = multiplier;  // odd, so Newton's iteration converges
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - multiplier * inverse;
    const std::uint32_t wanted = static_cast<std::uint32_t>(value) << 16;
    randomSeed((wanted - increment) * inverse);
}

// Number of draws that took the generator from `before` to its state now,
// up to a few.
int drawsSince(std::uint32_t before)
{
    std::uint32_t state = before;
    for (int draws = 0; draws <= 8; ++draws) {
        if (state == randomState())
            return draws;
        state = advanced(state);
    }
    return -1;
}

// A generator value that starts no fade.
constexpr int quietValue = 20000;

class OscillatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetOscillatorIds();
        randomSeed(12345u);
    }
    void TearDown() override { resetOscillatorIds(); }
};

TEST_F(OscillatorTest, SeedHelperYieldsTheWantedValue)
{
    for (int value : {0, 3, 4, 32767}) {
        seedForNextValue(value);
        EXPECT_EQ(randomNext(), value);
    }
}

TEST_F(OscillatorTest, NewOscillatorStartsRunningAtTheTopOfItsRange)
{
    Oscillator oscillator;
    EXPECT_EQ(oscillator.phase, 0.0);
    EXPECT_EQ(oscillator.speed, 1.0);
    EXPECT_EQ(oscillator.level, 1.0);
    EXPECT_EQ(oscillator.levelVelocity, 0.0);
    EXPECT_EQ(oscillator.frequency, 1.0);
    EXPECT_EQ(oscillator.drive, nullptr);
    EXPECT_EQ(oscillator.value(), 1.0);
    EXPECT_EQ(oscillator.unitValue(), 1.0);
    EXPECT_EQ(oscillator.cosine(), 1.0);
}

TEST_F(OscillatorTest, IdsFollowConstructionOrderAndResetStartsAgain)
{
    Oscillator first[8];
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(first[i].id, i);
    EXPECT_EQ(nextOscillatorId, 8);
    Oscillator ninth;
    EXPECT_EQ(ninth.id, 8);

    resetOscillatorIds();
    Oscillator again;
    EXPECT_EQ(again.id, 0);
}

TEST_F(OscillatorTest, ValueMapsTheCosineIntoTheRange)
{
    Oscillator oscillator;
    oscillator.amplitude = 4.0;
    oscillator.offset = -1.0;
    oscillator.phase = 3.14159265358979323846;  // cos = -1
    EXPECT_NEAR(oscillator.value(), -1.0, 1e-12);
    EXPECT_NEAR(oscillator.unitValue(), 0.0, 1e-12);
    EXPECT_NEAR(oscillator.cosine(), -1.0, 1e-12);
    oscillator.phase = 3.14159265358979323846 / 2.0;  // cos = 0
    EXPECT_NEAR(oscillator.value(), 1.0, 1e-12);
    EXPECT_NEAR(oscillator.unitValue(), 0.5, 1e-12);
}

// The scene's eight, as its set-up configures them: start values and ranges.
TEST_F(OscillatorTest, SceneOscillatorsStartAndStayInTheirRanges)
{
    const double wobbleRate = 1.8, turnRate = 1.2, baseRate = 1.0;
    // Ids 0 to 2 use the single-precision 0.7 and its half, formed in float.
    const double smallAmplitude = 0.7f;
    const double smallOffset = 0.7f * -0.5f;
    struct Row {
        double frequency;
        const double* drive;
        double amplitude, offset, start, low, high;
    };
    const Row rows[8] = {
        {0.1, &wobbleRate, smallAmplitude, smallOffset, 0.35, -0.35, 0.35},
        {0.11, &wobbleRate, smallAmplitude, smallOffset, 0.35, -0.35, 0.35},
        {0.14, &wobbleRate, smallAmplitude, smallOffset, 0.35, -0.35, 0.35},
        {0.02, &turnRate, 260.0, -130.0, 130.0, -130.0, 130.0},
        {0.022, &turnRate, 360.0, -180.0, 180.0, -180.0, 180.0},
        {0.028, &turnRate, 360.0, -180.0, 180.0, -180.0, 180.0},
        {0.3, &baseRate, 0.5, 0.15, 0.65, 0.15, 0.65},
        {0.1, &baseRate, 0.25, 0.0, 0.25, 0.0, 0.25},
    };
    Oscillator oscillators[8];
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        Oscillator& oscillator = oscillators[i];
        EXPECT_EQ(oscillator.id, i);
        oscillator.frequency = rows[i].frequency;
        oscillator.drive = rows[i].drive;
        oscillator.amplitude = rows[i].amplitude;
        oscillator.offset = rows[i].offset;
        EXPECT_NEAR(oscillator.value(), rows[i].start, 1e-7);
        // Long steps sweep the whole cycle several times.
        for (int step = 0; step < 2000; ++step) {
            oscillator.step(0.7);
            ASSERT_GE(oscillator.value(), rows[i].low - 1e-7);
            ASSERT_LE(oscillator.value(), rows[i].high + 1e-7);
        }
    }
}

TEST_F(OscillatorTest, PhaseAdvancesByLevelSpeedTimeDriveAndFrequency)
{
    double rate = 1.5;
    Oscillator oscillator;
    oscillator.level = 0.5;  // mid-fade: no draw
    oscillator.levelVelocity = 0.0;
    oscillator.speed = 2.0;
    oscillator.frequency = 3.0;
    oscillator.drive = &rate;
    oscillator.phase = 0.25;
    oscillator.step(0.1);
    EXPECT_EQ(oscillator.phase, 0.25 + 0.5 * 2.0 * 0.1 * 1.5 * 3.0);
}

TEST_F(OscillatorTest, ChangedDriveTakesEffectAtTheNextStep)
{
    double rate = 2.0;
    Oscillator oscillator;
    oscillator.drive = &rate;
    seedForNextValue(quietValue);
    oscillator.step(0.5);
    EXPECT_EQ(oscillator.phase, 1.0);
    rate = 3.0;
    seedForNextValue(quietValue);
    oscillator.step(0.5);
    EXPECT_EQ(oscillator.phase, 2.5);
    oscillator.drive = nullptr;  // counts as 1
    seedForNextValue(quietValue);
    oscillator.step(0.5);
    EXPECT_EQ(oscillator.phase, 3.0);
}

TEST_F(OscillatorTest, FrozenOscillatorKeepsItsPhaseButStillDraws)
{
    for (double dt : {0.0, 0.01, 1.0, 250.0}) {
        SCOPED_TRACE(dt);
        Oscillator oscillator;
        oscillator.level = 0.0;
        oscillator.phase = 0.75;
        seedForNextValue(quietValue);
        const std::uint32_t before = randomState();
        oscillator.step(dt);
        EXPECT_EQ(oscillator.phase, 0.75);
        EXPECT_EQ(oscillator.level, 0.0);
        EXPECT_EQ(drawsSince(before), 1);
    }
}

// Only an oscillator exactly at rest draws, and then exactly once.
TEST_F(OscillatorTest, DrawsOncePerStepAtRestAndNeverMidFade)
{
    const struct {
        double level, levelVelocity;
        int draws;
    } cases[] = {
        {1.0, 0.0, 1},  // running
        {0.0, 0.0, 1},  // frozen
        {0.5, -0.001, 0},  // fading out
        {0.5, 0.001, 0},  // fading in
        {0.9999, 0.0, 0},  // near rest is not at rest
        {1.0, 0.001, 1},  // a fade-in that reached exactly 1.0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        Oscillator oscillator;
        oscillator.level = c.level;
        oscillator.levelVelocity = c.levelVelocity;
        seedForNextValue(quietValue);
        const std::uint32_t before = randomState();
        oscillator.step(0.01);
        EXPECT_EQ(drawsSince(before), c.draws);
    }
}

// A draw below 0.0001 starts a fade: generator values 0 to 3, not 4.
TEST_F(OscillatorTest, FadeStartsForGeneratorValuesZeroToThreeOnly)
{
    const double dt = 0.02;
    for (int value : {0, 1, 2, 3, 4, 5, 32767}) {
        for (double restLevel : {1.0, 0.0}) {
            SCOPED_TRACE(testing::Message() << "value " << value << " level " << restLevel);
            Oscillator oscillator;
            oscillator.level = restLevel;
            seedForNextValue(value);
            oscillator.step(dt);
            if (value <= 3) {
                const double velocity = restLevel == 1.0 ? -0.1 * dt : 0.1 * dt;
                EXPECT_EQ(oscillator.levelVelocity, velocity);
                // The triggering step already moves the level.
                EXPECT_EQ(oscillator.level, restLevel + dt * velocity);
            } else {
                EXPECT_EQ(oscillator.levelVelocity, 0.0);
                EXPECT_EQ(oscillator.level, restLevel);
            }
        }
    }
}

TEST_F(OscillatorTest, TriggerWithZeroStepStartsNoFade)
{
    for (double restLevel : {1.0, 0.0}) {
        SCOPED_TRACE(restLevel);
        Oscillator oscillator;
        oscillator.level = restLevel;
        oscillator.phase = 0.5;
        seedForNextValue(0);
        oscillator.step(0.0);
        EXPECT_EQ(oscillator.levelVelocity, 0.0);
        EXPECT_EQ(oscillator.level, restLevel);
        EXPECT_EQ(oscillator.phase, 0.5);
        // Still at rest, so the next step draws again.
        seedForNextValue(quietValue);
        const std::uint32_t before = randomState();
        oscillator.step(0.01);
        EXPECT_EQ(drawsSince(before), 1);
    }
}

// Fades come to rest at the first step past their end: below 0.05 going down,
// above 1.0 going up. Reaching exactly 1.0 does not stop a fade-in.
TEST_F(OscillatorTest, FadesSnapToRestPastTheirEnds)
{
    const struct {
        double level, levelVelocity;
        double expectedLevel, expectedVelocity;
    } cases[] = {
        {0.0509, -0.001, 0.0, 0.0},  // lands on 0.0499
        {0.0511, -0.001, 0.0501, -0.001},  // lands on 0.0501: keeps fading
        {0.5, -0.6, 0.0, 0.0},  // overshoots below 0
        {0.5, 0.5, 1.0, 0.5},  // lands on exactly 1.0: keeps fading
        {0.75, 0.5, 1.0, 0.0},  // lands above 1.0
        {0.5, 0.0, 0.5, 0.0},  // no velocity: level stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.level << " " << c.levelVelocity);
        Oscillator oscillator;
        oscillator.level = c.level;
        oscillator.levelVelocity = c.levelVelocity;
        oscillator.step(1.0);
        EXPECT_NEAR(oscillator.level, c.expectedLevel, 1e-12);
        EXPECT_EQ(oscillator.levelVelocity, c.expectedVelocity);
    }
}

TEST_F(OscillatorTest, FullFadeOutFreezesAndFadeInRunsAgain)
{
    const double dt = 0.4;
    Oscillator oscillator;
    seedForNextValue(0);
    oscillator.step(dt);
    ASSERT_LT(oscillator.levelVelocity, 0.0);
    int steps = 1;
    while (oscillator.level != 0.0 && steps < 1000) {
        oscillator.step(dt);  // mid-fade steps draw nothing
        ++steps;
    }
    EXPECT_EQ(oscillator.level, 0.0);
    EXPECT_EQ(oscillator.levelVelocity, 0.0);
    // Each step moves the level by 0.1 * dt * dt = 0.016; 1 - 0.016 * n < 0.05
    // first at n = 60.
    EXPECT_EQ(steps, 60);

    seedForNextValue(3);
    oscillator.step(dt);
    EXPECT_EQ(oscillator.levelVelocity, 0.1 * dt);
    while (oscillator.level != 1.0 && steps < 2000) {
        oscillator.step(dt);
        ++steps;
    }
    EXPECT_EQ(oscillator.level, 1.0);
    EXPECT_EQ(oscillator.levelVelocity, 0.0);
}

}  // namespace
