// Body: defaults, reset, Euler steps, angle wrapping, the decaying shake and
// its draws, the wander modes and the look-at angles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "math/body.h"
#include "math/random.h"

namespace {

// Degrees per radian times a right angle, both as the program's floats:
// 90.00003, not 90.
const float rightAngle = 57.2958f * 1.5707964f;

std::uint32_t advance(std::uint32_t state) { return state * 214013u + 2531011u; }

void expectVec(const Vec3& actual, float x, float y, float z, const char* label)
{
    EXPECT_FLOAT_EQ(actual.x, x) << label;
    EXPECT_FLOAT_EQ(actual.y, y) << label;
    EXPECT_FLOAT_EQ(actual.z, z) << label;
}

void expectFreshMotion(const Body& body, const char* label)
{
    expectVec(body.position, 0, 0, 0, label);
    expectVec(body.startPosition, 0, 0, 0, label);
    expectVec(body.velocity, 0, 0, 0, label);
    expectVec(body.acceleration, 0, 0, 0, label);
    expectVec(body.angles, 0, 0, 0, label);
    expectVec(body.angularVelocity, 0, 0, 0, label);
    expectVec(body.shakeOffset, 0, 0, 0, label);
    expectVec(body.target, 0, 0, 0, label);
    EXPECT_EQ(body.mode, 0) << label;
}

TEST(BodyTest, NewBodyHasItsDefaults)
{
    const Body body;
    expectFreshMotion(body, "new body");
    expectVec(body.moveAmplitude, 10, 10, 10, "moveAmplitude");
    expectVec(body.moveCentre, 0, 0, 0, "moveCentre");
    expectVec(body.turnAmplitude, 20, 720, 0, "turnAmplitude");
    expectVec(body.turnCentre, 0, 0, 0, "turnCentre");
    EXPECT_EQ(body.moveSpeed, 1.0f);
    EXPECT_EQ(body.turnSpeed, 1.0f);
    EXPECT_EQ(body.shake, 0.0f);
    EXPECT_EQ(body.shakeFrequency[0], 40.0f);
    EXPECT_EQ(body.shakeFrequency[1], 50.0f);
    EXPECT_EQ(body.shakeFrequency[2], 60.0f);
    EXPECT_EQ(body.wrapAngles, 0);
}

TEST(BodyTest, ResetClearsMotionAndKeepsSettings)
{
    Body body;
    body.position.set(1, 2, 3);
    body.velocity.set(1, 1, 1);
    body.acceleration.set(2, 2, 2);
    body.angles.set(10, 20, 30);
    body.angularVelocity.set(5, 5, 5);
    body.shakeOffset.set(0.1f, 0.1f, 0.1f);
    body.target.set(7, 7, 7);
    body.mode = 2;
    body.moveAmplitude.set(3, 4, 5);
    body.turnCentre.set(1, 1, 1);
    body.moveSpeed = 2.0f;
    body.shake = 0.5f;
    body.shakeFrequency[1] = 33.0f;
    body.wrapAngles = 1;

    body.reset();

    expectFreshMotion(body, "after reset");
    expectVec(body.moveAmplitude, 3, 4, 5, "moveAmplitude kept");
    expectVec(body.turnCentre, 1, 1, 1, "turnCentre kept");
    EXPECT_EQ(body.moveSpeed, 2.0f);
    EXPECT_EQ(body.shake, 0.5f);
    EXPECT_EQ(body.shakeFrequency[1], 33.0f);
    EXPECT_EQ(body.wrapAngles, 1);
}

TEST(BodyTest, IntegrateMovesWithTheNewVelocityAndClearsAcceleration)
{
    Body body;
    body.acceleration.set(2, 0, 0);
    body.integrate(0.5f);
    expectVec(body.velocity, 1, 0, 0, "velocity");
    expectVec(body.position, 0.5f, 0, 0, "position");
    expectVec(body.acceleration, 0, 0, 0, "acceleration");

    body.integrate(0.5f);  // no acceleration now: constant velocity
    expectVec(body.velocity, 1, 0, 0, "velocity kept");
    expectVec(body.position, 1.0f, 0, 0, "position moved on");
}

TEST(BodyTest, TurnWrapsXAndYOnlyWhenAsked)
{
    Body body;
    body.angularVelocity.set(740, -20, 800);
    body.turn(0.5f);
    expectVec(body.angles, 370, -10, 400, "without wrapping");

    body.angles.set(0, 0, 0);
    body.wrapAngles = 1;
    body.turn(0.5f);
    expectVec(body.angles, 10, 350, 400, "wrapped, z never");
}

struct WrapCase {
    float v, lo, hi, expected;
};

TEST(BodyTest, WrapIntoBringsAnglesIntoTheRange)
{
    const WrapCase cases[] = {
        {370, 0, 360, 10},   {-10, 0, 360, 350},  {0, 0, 360, 0},     {359.5f, 0, 360, 359.5f},
        {720, 0, 360, 0},    {-370, 0, 360, 350}, {-360, 0, 360, 360},  // a negative whole turn gives the range
        {-720, 0, 360, 360}, {370, 100, 460, 10},  // lo does not shift the result
        {5, 0, 2, 1},
    };
    for (const WrapCase& c : cases)
        EXPECT_EQ(wrapInto(c.v, c.lo, c.hi), c.expected) << c.v << " in " << c.lo << ".." << c.hi;
}

TEST(BodyTest, WrapIntoLeavesValuesItCannotCountTurnsOf)
{
    // Too many turns for an integer count, or an empty range: the value is
    // returned as it is rather than through an undefined conversion.
    EXPECT_EQ(wrapInto(1e30f, 0, 360), 1e30f);
    EXPECT_EQ(wrapInto(-1e30f, 0, 360), -1e30f);
    EXPECT_EQ(wrapInto(45, 10, 10), 45.0f);
}

TEST(BodyTest, UpdateShakeAtZeroDoesNothingAndDrawsNothing)
{
    randomSeed(4450264);
    Body body;
    body.shakeOffset.set(1, 2, 3);
    body.updateShake(0.1f);
    EXPECT_EQ(body.shake, 0.0f);
    expectVec(body.shakeOffset, 1, 2, 3, "offset untouched");
    EXPECT_EQ(body.shakeFrequency[0], 40.0f);
    EXPECT_EQ(randomState(), 4450264u);
}

TEST(BodyTest, UpdateShakeBelowTheFloorStopsAndDrawsThreeFrequencies)
{
    const std::uint32_t seed = 4450264;
    randomSeed(seed);
    Body body;
    body.shake = 0.011f;  // 0.011 * (1 - 0.3) falls below 0.01
    body.shakeOffset.set(1, 2, 3);
    body.updateShake(0.1f);

    EXPECT_EQ(body.shake, 0.0f);
    std::uint32_t state = seed;
    for (int axis = 0; axis < 3; ++axis) {
        state = advance(state);
        const float drawn = static_cast<float>((state >> 16) & 0x7FFFu) / 32768.0f * 50.0f + 25.0f;
        EXPECT_EQ(body.shakeFrequency[axis], drawn) << "axis " << axis;
        EXPECT_GE(body.shakeFrequency[axis], 25.0f);
        EXPECT_LT(body.shakeFrequency[axis], 75.0f);
    }
    EXPECT_EQ(randomState(), state) << "exactly three draws";
    expectVec(body.shakeOffset, 1, 2, 3, "offset left as it was");
}

TEST(BodyTest, UpdateShakeAboveTheFloorDecaysAndSetsTheOffset)
{
    randomSeed(4450264);
    Body body;
    body.shake = 1.0f;
    body.updateShake(0.1f);
    const float decayed = 1.0f * (1.0f - 3.0f * 0.1f);
    EXPECT_EQ(body.shake, decayed);
    EXPECT_NEAR(body.shakeOffset.x, std::sin(0.1 * 40) * decayed, 1e-6);
    EXPECT_NEAR(body.shakeOffset.y, std::sin(0.1 * 50) * decayed, 1e-6);
    EXPECT_NEAR(body.shakeOffset.z, std::sin(0.1 * 60) * decayed, 1e-6);
    EXPECT_EQ(randomState(), 4450264u) << "no draws while shaking";
}

TEST(BodyTest, WanderModeOneRunsThePathAndFacesTheTarget)
{
    Body body;
    body.mode = 1;
    body.moveSpeed = 2.0f;
    body.moveCentre.set(1, 2, 3);
    body.target.set(0, 0, -50);
    body.wander(5.0f, 99.0f);
    // 0.1, 0.12 and 0.14 times t times the speed.
    EXPECT_NEAR(body.position.x, std::sin(1.0) * 10 + 1, 1e-5);
    EXPECT_NEAR(body.position.y, std::cos(1.2) * 10 + 2, 1e-5);
    EXPECT_NEAR(body.position.z, std::cos(1.4) * 10 + 3, 1e-5);
    float pitch = 0, yaw = 0;
    lookAngles(body.position, body.target, pitch, yaw);
    EXPECT_EQ(body.angles.x, pitch);
    EXPECT_EQ(body.angles.y, yaw);
    EXPECT_EQ(body.angles.z, 0.0f);
}

TEST(BodyTest, WanderModeTwoSwingsBothAnglesInStep)
{
    Body body;
    body.mode = 2;
    body.turnCentre.set(5, -5, 0);
    body.wander(100.0f, 2.5f);
    // Every axis of the path runs on 0.2 * u.
    EXPECT_NEAR(body.position.x, std::sin(0.5) * 10, 1e-5);
    EXPECT_NEAR(body.position.y, std::cos(0.5) * 10, 1e-5);
    EXPECT_NEAR(body.position.z, std::cos(0.5) * 10, 1e-5);
    const double swing = std::sin(0.01 * 100.0);
    EXPECT_NEAR(body.angles.x, swing * 20 + 5, 1e-4);
    EXPECT_NEAR(body.angles.y, swing * 720 - 5, 1e-3);
}

TEST(BodyTest, WanderInOtherModesDoesNothing)
{
    for (const int mode : {0, 3, -1}) {
        Body body;
        body.mode = mode;
        body.position.set(1, 2, 3);
        body.angles.set(4, 5, 6);
        body.wander(10.0f, 10.0f);
        expectVec(body.position, 1, 2, 3, "position");
        expectVec(body.angles, 4, 5, 6, "angles");
    }
}

struct LookCase {
    const char* label;
    Vec3 from, to;
    float pitch, yaw;
};

TEST(BodyTest, LookAnglesAtRightAnglesAndAlongMinusZ)
{
    const LookCase cases[] = {
        {"ahead along -z", {0, 0, 0}, {0, 0, -5}, 0.0f, 0.0f},
        {"ahead along -z from elsewhere", {1, 1, 1}, {1, 1, -4}, 0.0f, 0.0f},
        {"along +x", {0, 0, 0}, {1, 0, 0}, 0.0f, -rightAngle},
        {"along -x", {0, 0, 0}, {-7, 0, 0}, 0.0f, rightAngle},
        {"straight above", {0, 0, 0}, {0, 3, 0}, rightAngle, 0.0f},
        {"straight below", {0, 2, 0}, {0, -1, 0}, -rightAngle, 0.0f},
    };
    for (const LookCase& c : cases) {
        float pitch = 123, yaw = 123;
        lookAngles(c.from, c.to, pitch, yaw);
        EXPECT_EQ(pitch, c.pitch) << c.label;
        if (c.pitch == 0.0f) {  // straight up or down leaves the yaw to atan2's zeros
            EXPECT_EQ(yaw, c.yaw) << c.label;
        }
    }
    EXPECT_NE(rightAngle, 90.0f);
    EXPECT_NEAR(rightAngle, 90.00003f, 1e-5f);
}

TEST(BodyTest, LookAnglesInBetween)
{
    const LookCase cases[] = {
        {"half right", {0, 0, 0}, {1, 0, -1}, 0.0f, -45.0f},
        {"behind", {0, 0, 0}, {0, 0, 1}, 0.0f, -180.0f},
        {"up at 45 degrees", {0, 0, 0}, {0, 1, -1}, 45.0f, 0.0f},
        {"coincident points", {2, 2, 2}, {2, 2, 2}, 0.0f, 0.0f},
    };
    for (const LookCase& c : cases) {
        float pitch = 123, yaw = 123;
        lookAngles(c.from, c.to, pitch, yaw);
        EXPECT_NEAR(pitch, c.pitch, 1e-3) << c.label;
        if (c.from.x != c.to.x || c.from.z != c.to.z) {
            EXPECT_NEAR(yaw, c.yaw, 1e-3) << c.label;
        }
    }
}

TEST(BodyTest, AngleOfRaisesTheRadiusTo00001)
{
    EXPECT_EQ(angleOf(0, 0), 0.0f);
    EXPECT_FLOAT_EQ(angleOf(1, 0), 1.5707964f);
    EXPECT_FLOAT_EQ(angleOf(3, 4), std::atan2(0.6f, 0.8f));
    // Below the floor both parts are divided by 0.0001, which keeps the angle.
    EXPECT_FLOAT_EQ(angleOf(0.00001f, 0.00001f), 0.7853982f);
    EXPECT_FLOAT_EQ(angleOf(-0.00002f, 0), -1.5707964f);
}

}  // namespace
