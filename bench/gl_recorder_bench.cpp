// What the recording GL itself costs per call, silent and recording, so that
// the other benchmarks' figures can be read net of it.
#include <benchmark/benchmark.h>

#include "gl_api.h"
#include "gl_recorder.h"

namespace {

void BM_SilentGlVertex(benchmark::State& state)
{
    glrec::reset();
    glrec::setRecording(false);
    for (auto _ : state)
        glVertex3f(1.0f, 2.0f, 3.0f);
    glrec::setRecording(true);
}
BENCHMARK(BM_SilentGlVertex);

// A body's placement: the matrix work the silent GL still does.
void BM_SilentGlMatrixPlacement(benchmark::State& state)
{
    glrec::reset();
    glrec::setRecording(false);
    for (auto _ : state) {
        glPushMatrix();
        glTranslatef(1.0f, 2.0f, 3.0f);
        glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
        glRotatef(10.0f, 1.0f, 0.0f, 0.0f);
        glEnable(GL_LIGHTING);
        glDisable(GL_LIGHTING);
        glPopMatrix();
    }
    glrec::setRecording(true);
}
BENCHMARK(BM_SilentGlMatrixPlacement);

void BM_RecordingGlVertex(benchmark::State& state)
{
    glrec::reset();
    for (auto _ : state) {
        glVertex3f(1.0f, 2.0f, 3.0f);
        if (glrec::calls().size() >= 100000) {
            state.PauseTiming();
            glrec::clearCalls();
            state.ResumeTiming();
        }
    }
    glrec::reset();
}
BENCHMARK(BM_RecordingGlVertex);

}  // namespace
