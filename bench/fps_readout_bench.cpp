// The frames-per-second read-out, counted and drawn once per frame when a
// host shows it (the X11 program's -fps): its cost on top of a frame. The
// silent recording GL's glPushAttrib copies its list of enabled capabilities,
// so the figure is a little above the read-out's own work.
#include <benchmark/benchmark.h>

#include "gl_recorder.h"
#include "host/fps_readout.h"

namespace {

void BM_FpsReadoutFrame(benchmark::State& state)
{
    glrec::reset();
    glrec::setRecording(false);
    FpsReadout readout;
    std::int64_t now = 0;
    for (auto _ : state) {
        // 5 ms a frame: the text changes once every 200 frames.
        now += 5000;
        readout.frameDrawn(now);
        readout.draw(1024, 768);
    }
    glrec::setRecording(true);
}
BENCHMARK(BM_FpsReadoutFrame);

}  // namespace
