// Costs of the math helpers that run every frame or for every generated point.
#include <benchmark/benchmark.h>

#include "math/body.h"
#include "math/random.h"

namespace {

// One randomGauss is six draws; the star field and particle layouts make
// thousands of them at build time.
void BM_RandomGauss(benchmark::State& state) {
    randomSeed(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(randomGauss(1.0));
    }
}
BENCHMARK(BM_RandomGauss);

// Pitch and yaw toward a target, as a camera aiming at a point does once a
// frame.
void BM_BodyLookAngles(benchmark::State& state) {
    Vec3 from{1.0f, 2.0f, 3.0f};
    Vec3 to{-4.0f, 0.5f, 7.0f};
    float pitch = 0.0f;
    float yaw = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(&from);
        lookAngles(from, to, pitch, yaw);
        benchmark::DoNotOptimize(pitch);
        benchmark::DoNotOptimize(yaw);
    }
}
BENCHMARK(BM_BodyLookAngles);

}  // namespace
