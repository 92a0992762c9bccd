// Three single-precision components. Value semantics; no heap.
//
// Divisions and normalisation raise their divisor to vecDivisorFloor when it is
// below it (negative divisors included), so they never divide by zero.
#pragma once

constexpr float vecDivisorFloor = 0.0001f;

class Vec3 {
public:
    Vec3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}
    Vec3(const Vec3& v) = default;
    Vec3& operator=(const Vec3& v) = default;

    void set(float xValue, float yValue, float zValue);
    float length() const;
    void normalise();
    Vec3 cross(Vec3 v) const;
    float dot(Vec3 v) const;

    Vec3& operator+=(const Vec3& v);
    Vec3& operator-=(const Vec3& v);
    Vec3& operator*=(const float& s);
    Vec3& operator/=(const float& s);

    float x;
    float y;
    float z;
};

Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
Vec3 operator*(const Vec3& v, const float& s);
Vec3 operator/(const Vec3& v, const float& s);
