// A thing that moves and turns: position, angles and the state of several
// kinds of motion. Every camera holds one.
//
// Lengths are world units, angles degrees, times seconds, all single precision.
// The scene's bodies only hold values written from outside; the motion
// operations are here for other users.
#pragma once

#include "math/vec3.h"

class Body {
public:
    Body();

    // Zeroes position, start position, velocity, acceleration, angles,
    // angular velocity, shake offset and target, and the mode. Amplitudes,
    // centres, speeds and the shake settings stay.
    void reset();

    // glTranslatef(position), then the y, x and z rotations in that order,
    // each skipped when its angle is exactly 0.
    void applyTransform() const;

    // Euler step: velocity += acceleration * dt, position += velocity * dt
    // with the new velocity, then acceleration is cleared.
    void integrate(float dt);

    // angles += angularVelocity * dt; with wrapAngles, x and y are wrapped
    // into [0, 360) by wrapInto (a negative whole turn gives 360). z is never
    // wrapped.
    void turn(float dt);

    // Decays shake by (1 - 3t). Below 0.01 it stops and draws three new
    // shake frequencies in [25, 75); otherwise shakeOffset follows it.
    void updateShake(float t);

    // Mode 1: a sinusoidal path in time t, facing target. Mode 2: the path in
    // u and angles x and y swinging in step with t. Other modes: nothing.
    void wander(float t, float u);

    int mode = 0;
    int wrapAngles = 0;
    float shake = 0.0f;
    float shakeFrequency[3] = {40.0f, 50.0f, 60.0f};
    float moveSpeed = 1.0f;
    float turnSpeed = 1.0f;
    Vec3 position{0.0f, 0.0f, 0.0f};
    Vec3 velocity{0.0f, 0.0f, 0.0f};
    Vec3 acceleration{0.0f, 0.0f, 0.0f};
    Vec3 angles{0.0f, 0.0f, 0.0f};
    Vec3 angularVelocity{0.0f, 0.0f, 0.0f};
    Vec3 startPosition{0.0f, 0.0f, 0.0f};
    Vec3 moveAmplitude{10.0f, 10.0f, 10.0f};
    Vec3 moveCentre{0.0f, 0.0f, 0.0f};
    Vec3 turnAmplitude{20.0f, 720.0f, 0.0f};
    Vec3 turnCentre{0.0f, 0.0f, 0.0f};
    Vec3 shakeOffset{0.0f, 0.0f, 0.0f};
    Vec3 target{0.0f, 0.0f, 0.0f};
};

// Brings v into [0, hi - lo) by whole multiples of the range; lo does not
// shift the result. A negative whole multiple (-360 for 0..360) gives the
// range itself.
float wrapInto(float v, float lo, float hi);

// atan2(a / r, b / r) in radians with r = |(a, b)| raised to 0.0001 when
// below it.
float angleOf(float a, float b);

// Pitch and yaw in degrees that make a camera at `from` look at `to`.
void lookAngles(const Vec3& from, const Vec3& to, float& pitch, float& yaw);
