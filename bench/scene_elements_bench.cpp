// Per-frame costs of the scene elements against a GL that does nothing.
#include <benchmark/benchmark.h>

#include <memory>

#include "gl_api.h"
#include "gl_recorder.h"
#include "math/random.h"
#include "scene/particle_system.h"
#include "scene/sphere.h"

namespace {

// A frame every 5 ms, as the saver's timer asks for.
constexpr double frameSeconds = 0.005;

// One shape pass: the 32 by 32 ball with its time-driven texture offsets.
void BM_ShapePass(benchmark::State& state)
{
    glrec::reset();
    glrec::setRecording(false);
    double time = 1000.0;
    for (auto _ : state) {
        drawShapePass(time);
        time += frameSeconds;
    }
    glrec::setRecording(true);
}
BENCHMARK(BM_ShapePass);

// The GL calls of one shape pass alone, with fixed arguments: what is left of
// BM_ShapePass once this is taken away is the sphere's own arithmetic.
void BM_ShapePassGlCallsOnly(benchmark::State& state)
{
    glrec::reset();
    glrec::setRecording(false);
    const int strips = 31;
    const int columns = 33;
    for (auto _ : state) {
        glPushMatrix();
        for (int strip = 0; strip < strips; ++strip) {
            glBegin(GL_TRIANGLE_STRIP);
            for (int vertex = 0; vertex < 2 * columns; ++vertex) {
                glNormal3f(0.0f, 1.0f, 0.0f);
                glTexCoord2f(0.5f, 0.5f);
                glVertex3d(0.0, 1.0, 0.0);
            }
            glEnd();
        }
        glPopMatrix();
    }
    glrec::setRecording(true);
}
BENCHMARK(BM_ShapePassGlCallsOnly);

// One step of a full pool of 5001 particles spawned with the scene's values.
void BM_ParticleStep(benchmark::State& state)
{
    auto particles = std::make_unique<ParticleSystem>();
    particles->count = particleCapacity;
    particles->outerSize = 2.0f;
    particles->shape = upperHalfBallShell;
    randomSeed(4450264);
    particles->spawn();
    for (auto _ : state) {
        particles->step(float(frameSeconds), 0.5f);
        benchmark::DoNotOptimize(particles->x[0]);
    }
    state.SetItemsProcessed(state.iterations() * particleCapacity);
}
BENCHMARK(BM_ParticleStep);

}  // namespace
