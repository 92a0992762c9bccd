// The float model the Linux and the 32-bit Windows builds share: every float
// and double operation rounds to its own type at once (SSE arithmetic, never
// the x87 unit's 80-bit registers) and no multiply-add is fused into one
// rounding. Each case gives another answer when either promise breaks, so the
// same expectations hold natively and under Wine.
#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

// Operands pass through a volatile so the compiler cannot fold the cases at
// build time, where it might round differently from the generated code.
double atRunTime(double value) {
    volatile double held = value;
    return held;
}

float atRunTime(float value) {
    volatile float held = value;
    return held;
}

TEST(FloatModel, EvaluatesEachTypeInItsOwnPrecision) {
    EXPECT_EQ(FLT_EVAL_METHOD, 0);
}

struct DoubleCase {
    const char* what;
    double (*compute)();
    double expected;
};

const DoubleCase doubleCases[] = {
    // 1 + 2^-53 is a tie that rounds back to 1; held in 80 bits it survives
    // and the second 2^-53 lifts the sum to the next double.
    {"two half-ulp steps from one stay at one",
     [] { return atRunTime(1.0) + atRunTime(0x1p-53) + atRunTime(0x1p-53); }, 1.0},
    {"a product past the largest double is infinite before the division",
     [] { return atRunTime(1e308) * atRunTime(10.0) / atRunTime(10.0); },
     std::numeric_limits<double>::infinity()},
    {"a product below the smallest normal loses its low bits",
     [] { return atRunTime(1e-308) * atRunTime(1e-10) * atRunTime(1e10); },
     0x0.730d5e11e48p-1022},
    // (1 + 2^-27)^2 = 1 + 2^-26 + 2^-54 rounds to 1 + 2^-26; a fused
    // multiply-add would keep the 2^-54.
    {"a product is rounded before the addition",
     [] {
         double a = atRunTime(1.0 + 0x1p-27);
         return a * a - atRunTime(1.0 + 0x1p-26);
     },
     0.0},
};

struct FloatCase {
    const char* what;
    float (*compute)();
    float expected;
};

const FloatCase floatCases[] = {
    {"two half-ulp steps from one stay at one",
     [] { return atRunTime(1.0f) + atRunTime(0x1p-24f) + atRunTime(0x1p-24f); }, 1.0f},
    {"a product past the largest float is infinite before the division",
     [] { return atRunTime(3e38f) * atRunTime(10.0f) / atRunTime(10.0f); },
     std::numeric_limits<float>::infinity()},
    {"a product below the smallest normal loses its low bits",
     [] { return atRunTime(1e-38f) * atRunTime(1e-5f) * atRunTime(1e5f); }, 0x1.b1598p-127f},
    {"a product is rounded before the addition",
     [] {
         float a = atRunTime(1.0f + 0x1p-12f);
         return a * a - atRunTime(1.0f + 0x1p-11f);
     },
     0.0f},
};

TEST(FloatModel, DoubleOperationsRoundToDoubleAtEachStep) {
    for (const DoubleCase& c : doubleCases) {
        EXPECT_EQ(c.compute(), c.expected) << c.what;
    }
}

TEST(FloatModel, FloatOperationsRoundToFloatAtEachStep) {
    for (const FloatCase& c : floatCases) {
        EXPECT_EQ(c.compute(), c.expected) << c.what;
    }
}

// The logistic map at r = 3.9 is chaotic: one rounding that differs anywhere
// in 2000 steps changes the final value completely. The expected bits are the
// native build's.
TEST(FloatModel, LongDoubleIterationMatchesReferenceBits) {
    double x = atRunTime(0.1);
    double sum = 0.0;
    for (int step = 0; step < 2000; ++step) {
        x = 3.9 * x * (1.0 - x);
        sum += std::sqrt(x) / (1.0 + x);
    }
    EXPECT_EQ(x, 0x1.858b5838eabbbp-4);
    EXPECT_EQ(sum, 0x1.c442262a2676p+9);
}

TEST(FloatModel, LongFloatIterationMatchesReferenceBits) {
    float x = atRunTime(0.1f);
    float sum = 0.0f;
    for (int step = 0; step < 2000; ++step) {
        x = 3.9f * x * (1.0f - x);
        sum += std::sqrt(x) / (1.0f + x);
    }
    EXPECT_EQ(x, 0x1.63be52p-2f);
    EXPECT_EQ(sum, 0x1.c41b48p+9f);
}

}  // namespace
