#include "math/trig.h"

#include <cmath>
#include <cstdint>

// Every step below is an IEEE basic operation or an exact one (floor, fmod,
// frexp, ldexp, copysign), which both targets round identically; the build
// keeps multiply-adds unfused, which the exact sum and product rely on.
namespace {

// A value carried as an unevaluated sum hi + lo with |lo| <= ulp(hi) / 2.
struct DoubleDouble {
    double hi;
    double lo;
};

// a + b exactly as a rounded sum and its rounding error.
DoubleDouble twoSum(double a, double b)
{
    const double sum = a + b;
    const double bPart = sum - a;
    const double error = (a - (sum - bPart)) + (b - bPart);
    return {sum, error};
}

// Splits a into two halves of 26 and 27 bits whose products are exact.
// |a| must stay below 2^996 so the scaled copy does not overflow.
constexpr DoubleDouble splitHalves(double a)
{
    const double scaled = 134217729.0 * a;  // 2^27 + 1
    const double high = scaled - (scaled - a);
    return {high, a - high};
}

// a * b exactly as a rounded product and its rounding error, from the
// operands and their halves.
DoubleDouble twoProduct(double a, DoubleDouble as, double b, DoubleDouble bs)
{
    const double product = a * b;
    const double error =
        ((as.hi * bs.hi - product) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
    return {product, error};
}

DoubleDouble twoProduct(double a, double b)
{
    return twoProduct(a, splitHalves(a), b, splitHalves(b));
}

// pi / 2 as three doubles: 159 bits, enough that n * (pi / 2) is off by less
// than 2^-119 for every quadrant count n below 2^40.
constexpr double halfPi1 = 0x1.921fb54442d18p+0;
constexpr double halfPi2 = 0x1.1a62633145c07p-54;
constexpr double halfPi3 = -0x1.f1976b7ed8fbcp-110;
constexpr double twoOverPi = 0x1.45f306dc9c883p-1;
constexpr double quarterPi = 0x1.921fb54442d18p-1;
constexpr double threeQuarterPi = 0x1.2d97c7f3321d2p+1;
constexpr double pi = 0x1.921fb54442d18p+1;
constexpr double twoPi = 0x1.921fb54442d18p+2;

constexpr DoubleDouble halfPi1Halves = splitHalves(halfPi1);
constexpr DoubleDouble halfPi2Halves = splitHalves(halfPi2);
constexpr DoubleDouble halfPi3Halves = splitHalves(halfPi3);

// Below this the reduction by pi / 2 is exact to well under an ulp.
constexpr double largestReducedExactly = 0x1p40;

// Adding and taking away 1.5 * 2^52 rounds a double below 2^51 to the
// nearest integer (ties to even) in two exact steps.
constexpr double roundingShift = 0x1.8p52;

// An angle reduced to [-pi/4, pi/4] (a hair more at the rounding edges) and
// the number of quarter turns taken off, modulo 4.
struct ReducedAngle {
    DoubleDouble radians;
    int quadrant;
};

// x minus the nearest multiple of pi / 2, with x - n * halfPi1 - n * halfPi2
// - n * halfPi3 summed without rounding loss: every product is split exactly
// and every sum keeps its error. |x| must be below largestReducedExactly.
ReducedAngle reduceByHalfPi(double x)
{
    if (std::fabs(x) <= quarterPi)
        return {{x, 0.0}, 0};
    const double n = (x * twoOverPi + roundingShift) - roundingShift;
    const DoubleDouble nHalves = splitHalves(n);
    const DoubleDouble first = twoProduct(n, nHalves, halfPi1, halfPi1Halves);
    const DoubleDouble second = twoProduct(n, nHalves, halfPi2, halfPi2Halves);
    const DoubleDouble third = twoProduct(n, nHalves, halfPi3, halfPi3Halves);
    const double parts[] = {first.hi, first.lo, second.hi, second.lo, third.hi, third.lo};
    DoubleDouble sum{x, 0.0};
    for (double part : parts) {
        const DoubleDouble step = twoSum(sum.hi, -part);
        sum.hi = step.hi;
        sum.lo += step.lo;
    }
    const int quadrant = int(static_cast<std::int64_t>(n) & 3);
    return {twoSum(sum.hi, sum.lo), quadrant};
}

ReducedAngle reduce(double x)
{
    // Far beyond the scene's angles: modulo the double 2 pi first, which
    // fmod does exactly, so the result is the same on every target.
    if (!(std::fabs(x) < largestReducedExactly))
        x = std::fmod(x, twoPi);
    return reduceByHalfPi(x);
}

// Taylor coefficients; the first term left out is below 2^-60 relative on
// [-pi/4, pi/4].
constexpr double sine3 = -1.0 / 6.0;
constexpr double sine5 = 1.0 / 120.0;
constexpr double sine7 = -1.0 / 5040.0;
constexpr double sine9 = 1.0 / 362880.0;
constexpr double sine11 = -1.0 / 39916800.0;
constexpr double sine13 = 1.0 / 6227020800.0;
constexpr double sine15 = -1.0 / 1307674368000.0;
constexpr double sine17 = 1.0 / 355687428096000.0;

constexpr double cosine4 = 1.0 / 24.0;
constexpr double cosine6 = -1.0 / 720.0;
constexpr double cosine8 = 1.0 / 40320.0;
constexpr double cosine10 = -1.0 / 3628800.0;
constexpr double cosine12 = 1.0 / 479001600.0;
constexpr double cosine14 = -1.0 / 87178291200.0;
constexpr double cosine16 = 1.0 / 20922789888000.0;
constexpr double cosine18 = -1.0 / 6402373705728000.0;

// sin(a.hi + a.lo) for |a| <= pi/4 (and a little beyond).
double sineKernel(DoubleDouble a)
{
    const double x = a.hi;
    const double z = x * x;
    const double series =
        sine3 + z * (sine5 + z * (sine7 + z * (sine9 + z * (sine11 + z * (sine13 +
        z * (sine15 + z * sine17))))));
    // The low part moves the sine by a.lo * cos(x).
    return x + (z * x * series + a.lo * (1.0 - 0.5 * z));
}

// cos(a.hi + a.lo) for |a| <= pi/4 (and a little beyond).
double cosineKernel(DoubleDouble a)
{
    const double x = a.hi;
    // x^2 exactly, and 1 - x^2 / 2 with its rounding error kept: that step
    // is the one that would otherwise cost most of an ulp near pi/4.
    const DoubleDouble square = twoProduct(x, x);
    const double halfSquare = 0.5 * square.hi;
    const double leading = 1.0 - halfSquare;
    const double leadingError = (1.0 - leading) - halfSquare;
    const double z = square.hi;
    const double series =
        cosine4 + z * (cosine6 + z * (cosine8 + z * (cosine10 + z * (cosine12 +
        z * (cosine14 + z * (cosine16 + z * cosine18))))));
    // The low part moves the cosine by -a.lo * sin(x).
    const double tail = leadingError - 0.5 * square.lo + (z * z * series - x * a.lo);
    return leading + tail;
}

// atan(k / 16) for k = 0 to 16 as hi + lo.
constexpr DoubleDouble arcTangentOfSixteenths[17] = {
    {0x0.0p+0, 0x0.0p+0},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};

// Taylor coefficients of atan; with |s| <= 1/32 the first term left out is
// below 2^-60 relative.
constexpr double arcTangent3 = -1.0 / 3.0;
constexpr double arcTangent5 = 1.0 / 5.0;
constexpr double arcTangent7 = -1.0 / 7.0;
constexpr double arcTangent9 = 1.0 / 9.0;
constexpr double arcTangent11 = -1.0 / 11.0;

// A quotient below this atan(q) rounds to q itself.
constexpr int exponentGapOfTinyRatio = 60;

// atan(u / v) for 0 < u <= v, both finite, as hi + lo. With c = k / 16 the
// nearest sixteenth to u / v, atan(u / v) = atan(c) + atan(s) where
// s = (16u - kv) / (16v + ku); the products and the quotient are carried
// exactly enough that only the final rounding of the caller remains.
DoubleDouble arcTangentOfRatio(double u, double v)
{
    int uExponent = 0;
    int vExponent = 0;
    std::frexp(u, &uExponent);
    std::frexp(v, &vExponent);
    if (uExponent - vExponent < -exponentGapOfTinyRatio)
        return {u / v, 0.0};
    // Bring v into [1/2, 1): the scaled values are exact and normal.
    u = std::ldexp(u, -vExponent);
    v = std::ldexp(v, -vExponent);

    const double k = std::floor(16.0 * (u / v) + 0.5);
    const DoubleDouble kv = twoProduct(k, v);
    const DoubleDouble ku = twoProduct(k, u);
    // 16u and kv are within a factor of two of each other when k >= 1, so
    // their difference is exact.
    const DoubleDouble numerator = twoSum(16.0 * u - kv.hi, -kv.lo);
    DoubleDouble denominator = twoSum(16.0 * v, ku.hi);
    denominator = twoSum(denominator.hi, denominator.lo + ku.lo);

    const double s = numerator.hi / denominator.hi;
    const DoubleDouble back = twoProduct(s, denominator.hi);
    const double remainder =
        ((numerator.hi - back.hi) - back.lo) + numerator.lo - s * denominator.lo;
    const double sLow = remainder / denominator.hi;

    const double z = s * s;
    const double series =
        arcTangent3 + z * (arcTangent5 + z * (arcTangent7 + z * (arcTangent9 +
        z * arcTangent11)));
    const DoubleDouble table = arcTangentOfSixteenths[int(k)];
    const DoubleDouble sum = twoSum(table.hi, s);
    return {sum.hi, sum.lo + (table.lo + (sLow + z * s * series))};
}

}  // namespace

double sineOf(double radians)
{
    if (!std::isfinite(radians))
        return radians - radians;
    // Keeps the sign of a zero, which the kernel's sum would lose.
    if (radians == 0.0)
        return radians;
    const ReducedAngle a = reduce(radians);
    switch (a.quadrant) {
    case 0: return sineKernel(a.radians);
    case 1: return cosineKernel(a.radians);
    case 2: return -sineKernel(a.radians);
    default: return -cosineKernel(a.radians);
    }
}

double cosineOf(double radians)
{
    if (!std::isfinite(radians))
        return radians - radians;
    const ReducedAngle a = reduce(radians);
    switch (a.quadrant) {
    case 0: return cosineKernel(a.radians);
    case 1: return -sineKernel(a.radians);
    case 2: return -cosineKernel(a.radians);
    default: return sineKernel(a.radians);
    }
}

double arcTangent2(double y, double x)
{
    if (std::isnan(x) || std::isnan(y))
        return x + y;
    if (y == 0.0)
        return std::signbit(x) ? std::copysign(pi, y) : y;
    if (x == 0.0)
        return std::copysign(0.5 * pi, y);
    if (std::isinf(x) || std::isinf(y)) {
        double angle = 0.5 * pi;
        if (std::isinf(x) && std::isinf(y))
            angle = x > 0.0 ? quarterPi : threeQuarterPi;
        else if (std::isinf(x))
            angle = x > 0.0 ? 0.0 : pi;
        return std::copysign(angle, y);
    }

    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const bool steep = ay > ax;
    const DoubleDouble a = steep ? arcTangentOfRatio(ax, ay) : arcTangentOfRatio(ay, ax);

    // The angle in [0, pi] is base + direction * a with base 0, pi/2 or pi,
    // each carried as hi + lo.
    double baseHi = 0.0;
    double baseLo = 0.0;
    double direction = 1.0;
    if (steep) {
        baseHi = halfPi1;
        baseLo = halfPi2;
        direction = x > 0.0 ? -1.0 : 1.0;
    } else if (x < 0.0) {
        baseHi = 2.0 * halfPi1;
        baseLo = 2.0 * halfPi2;
        direction = -1.0;
    }
    const DoubleDouble angle = twoSum(baseHi, direction * a.hi);
    const double result = angle.hi + (angle.lo + (baseLo + direction * a.lo));
    return std::copysign(result, y);
}
