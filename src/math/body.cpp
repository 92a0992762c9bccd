#include "math/body.h"

#include <cmath>

#include "gl_api.h"
#include "math/random.h"
#include "math/trig.h"

Body::Body()
{
    reset();
    moveAmplitude.set(10.0f, 10.0f, 10.0f);
    moveCentre.set(0.0f, 0.0f, 0.0f);
    turnAmplitude.set(20.0f, 720.0f, 0.0f);
    turnCentre.set(0.0f, 0.0f, 0.0f);
    target.set(0.0f, 0.0f, 0.0f);
    moveSpeed = 1.0f;
    turnSpeed = 1.0f;
    reset();
    shakeFrequency[0] = 40.0f;
    shakeFrequency[1] = 50.0f;
    shakeFrequency[2] = 60.0f;
    wrapAngles = 0;
}

void Body::reset()
{
    position.set(0.0f, 0.0f, 0.0f);
    startPosition = position;
    velocity.set(0.0f, 0.0f, 0.0f);
    acceleration.set(0.0f, 0.0f, 0.0f);
    angles.set(0.0f, 0.0f, 0.0f);
    angularVelocity.set(0.0f, 0.0f, 0.0f);
    shakeOffset.set(0.0f, 0.0f, 0.0f);
    target.set(0.0f, 0.0f, 0.0f);
    mode = 0;
}

void Body::applyTransform() const
{
    glTranslatef(position.x, position.y, position.z);
    if (angles.y != 0.0f)
        glRotatef(angles.y, 0.0f, 1.0f, 0.0f);
    if (angles.x != 0.0f)
        glRotatef(angles.x, 1.0f, 0.0f, 0.0f);
    if (angles.z != 0.0f)
        glRotatef(angles.z, 0.0f, 0.0f, 1.0f);
}

void Body::integrate(float dt)
{
    velocity += acceleration * dt;
    position += velocity * dt;
    acceleration.set(0.0f, 0.0f, 0.0f);
}

void Body::turn(float dt)
{
    angles += angularVelocity * dt;
    if (wrapAngles) {
        angles.x = wrapInto(angles.x, 0.0f, 360.0f);
        angles.y = wrapInto(angles.y, 0.0f, 360.0f);
    }
}

void Body::updateShake(float t)
{
    if (shake == 0.0f)
        return;
    shake = shake * (1.0f - 3.0f * t);
    if (shake < 0.01f) {
        shake = 0.0f;
        for (float& frequency : shakeFrequency)
            frequency = randomUniform(50.0f) + 25.0f;
        return;
    }
    shakeOffset.set(floatSin(t * shakeFrequency[0]), floatSin(t * shakeFrequency[1]),
                    floatSin(t * shakeFrequency[2]));
    shakeOffset *= shake;
}

void Body::wander(float t, float u)
{
    if (mode != 1 && mode != 2)
        return;
    // Mode 1 runs the path on the clock; mode 2 on the caller's second time.
    const float x = mode == 1 ? 0.1f * t * moveSpeed : 0.2f * u * moveSpeed;
    const float y = mode == 1 ? 0.12f * t * moveSpeed : 0.2f * u * moveSpeed;
    const float z = mode == 1 ? 0.14f * t * moveSpeed : 0.2f * u * moveSpeed;
    position.x = floatSin(x) * moveAmplitude.x + moveCentre.x;
    position.y = floatCos(y) * moveAmplitude.y + moveCentre.y;
    position.z = floatCos(z) * moveAmplitude.z + moveCentre.z;
    if (mode == 1) {
        lookAngles(position, target, angles.x, angles.y);
        return;
    }
    const float swing = floatSin(0.01f * t * turnSpeed);
    angles.x = swing * turnAmplitude.x + turnCentre.x;
    angles.y = swing * turnAmplitude.y + turnCentre.y;
}

float wrapInto(float v, float lo, float hi)
{
    const float range = hi - lo;
    // The quotient is a float; converting one outside int's range would be
    // undefined, so huge values are left as they are.
    const float quotient = v / range;
    if (!(std::fabs(quotient) < 2147483520.0f))
        return v;
    int n = static_cast<int>(quotient);
    if (v < 0.0f)
        n -= 1;
    return v - static_cast<float>(n) * range;
}

float angleOf(float a, float b)
{
    float r = std::sqrt(a * a + b * b);
    if (r < vecDivisorFloor)
        r = vecDivisorFloor;
    return floatAtan2(a / r, b / r);
}

void lookAngles(const Vec3& from, const Vec3& to, float& pitch, float& yaw)
{
    Vec3 n = to - from;
    n.normalise();
    yaw = -angleOf(n.x, -n.z) * degreesPerRadian;
    pitch = angleOf(n.y, std::sqrt(n.x * n.x + n.z * n.z)) * degreesPerRadian;
}
