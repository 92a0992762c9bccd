#include "math/vec3.h"

#include <cmath>

namespace {
float boundedDivisor(float s) { return s < vecDivisorFloor ? vecDivisorFloor : s; }
}

void Vec3::set(float xValue, float yValue, float zValue)
{
    x = xValue;
    y = yValue;
    z = zValue;
}

float Vec3::length() const
{
    const double xd = x, yd = y, zd = z;
    return static_cast<float>(std::sqrt(xd * xd + yd * yd + zd * zd));
}

void Vec3::normalise()
{
    const float scale = 1.0f / boundedDivisor(length());
    x *= scale;
    y *= scale;
    z *= scale;
}

Vec3 Vec3::cross(Vec3 v) const { return Vec3(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x); }

float Vec3::dot(Vec3 v) const { return x * v.x + y * v.y + z * v.z; }

Vec3& Vec3::operator+=(const Vec3& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

Vec3& Vec3::operator-=(const Vec3& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

Vec3& Vec3::operator*=(const float& s)
{
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

Vec3& Vec3::operator/=(const float& s)
{
    const float d = boundedDivisor(s);
    x /= d;
    y /= d;
    z /= d;
    return *this;
}

Vec3 operator+(const Vec3& a, const Vec3& b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }

Vec3 operator-(const Vec3& a, const Vec3& b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }

Vec3 operator*(const Vec3& v, const float& s) { return Vec3(v.x * s, v.y * s, v.z * s); }

Vec3 operator/(const Vec3& v, const float& s)
{
    const float d = boundedDivisor(s);
    return Vec3(v.x / d, v.y / d, v.z / d);
}
