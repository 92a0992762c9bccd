#include "math/random.h"

namespace {
std::uint32_t generatorState = 0;
}

void randomSeed(std::uint32_t seed) { generatorState = seed; }

std::uint32_t randomState() { return generatorState; }

int randomNext()
{
    generatorState = generatorState * 214013u + 2531011u;
    return static_cast<int>((generatorState >> 16) & 0x7FFFu);
}

double randomUniform(double x) { return randomNext() / 32768.0 * x; }

float randomUniform(float x) { return static_cast<float>(randomNext()) / 32768.0f * x; }

double randomGauss(double x)
{
    double sum = 0.0;
    for (int i = 0; i < 6; ++i)
        sum += randomUniform(1.0);
    return (sum - 3.0) * 1.414 * x;
}

float randomPowered(int n)
{
    float u = randomUniform(1.0f);
    for (int i = 2; i <= n; ++i)
        u = u * u;
    return u;
}
