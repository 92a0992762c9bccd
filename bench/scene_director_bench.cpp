// The scene director against a GL that does nothing: the whole build at
// window creation, and one frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_build.h"
#include "driver/scene_director.h"
#include "driver/scene_settings.h"
#include "gl_recorder.h"
#include "settings/settings.h"

namespace {

std::uint64_t simulatedNow = 0;
std::uint64_t simulatedMilliseconds() { return simulatedNow; }

// The saver's timer period.
constexpr std::uint64_t framePeriodMs = 5;

// A fresh scene and a fresh silent GL, the clock at its origin, and the
// views sized to a window as the build expects them.
void freshScene()
{
    resetScene();
    glrec::reset();
    glrec::setRecording(false);
    simulatedNow = 0;
    setMillisecondSource(simulatedMilliseconds);
    scene.viewSet.resize(800.0f, 600.0f);
}

void finish()
{
    setMillisecondSource(nullptr);
    resetScene();
    glrec::reset();
}

// buildScene: values, oscillators, seed and the four 256 by 256 textures.
// The scene is made fresh outside the timing, as the texture registry keeps
// every generation.
void BM_SceneBuild(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        freshScene();
        state.ResumeTiming();
        buildScene();
    }
    finish();
}
BENCHMARK(BM_SceneBuild)->Unit(benchmark::kMillisecond);

// drawFrame with the scene's switches: clock, steps, background, view 1
// with the light marker and the ball.
void BM_DrawFrame(benchmark::State& state)
{
    freshScene();
    initGlState(800, 600);
    for (auto _ : state) {
        simulatedNow += framePeriodMs;
        drawFrame();
    }
    finish();
}
BENCHMARK(BM_DrawFrame)->Unit(benchmark::kMicrosecond);

// drawFrame over three monitors side by side (the middle one taller): the
// per-monitor background and three perspective views from one camera.
void BM_DrawFrameThreeMonitors(benchmark::State& state)
{
    freshScene();
    const ScreenRect monitors[] = {{-1280, 0, 0, 1024}, {0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    setMonitorLayout(monitors, 3, -1280, 0);
    initGlState(4480, 1080);
    for (auto _ : state) {
        simulatedNow += framePeriodMs;
        drawFrame();
    }
    finish();
}
BENCHMARK(BM_DrawFrameThreeMonitors)->Unit(benchmark::kMicrosecond);

// One view across three 4K monitors on a card whose largest viewport is 4096
// wide: the background and the perspective view are each drawn in three
// tiles. Argument 0: no limit known, the view in one piece; 1: the limit.
void BM_DrawFrameSpanningTiles(benchmark::State& state)
{
    freshScene();
    Settings spanning;
    spanning.monitors = std::int32_t(Monitors::span);
    applySettings(spanning);
    if (state.range(0) == 1) {
        glrec::setMaxViewportDims(4096, 4096);
        readViewportLimit();
    }
    initGlState(11520, 2160);
    for (auto _ : state) {
        simulatedNow += framePeriodMs;
        drawFrame();
    }
    finish();
}
BENCHMARK(BM_DrawFrameSpanningTiles)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The user's settings, the ones that cost most: the finest ball, every
// element on, four times the speed.
Settings heaviestSettings()
{
    Settings settings;
    settings.texture = 10;  // CHECK
    settings.speed = 400;
    settings.detail = 100;
    settings.stars = settings.particles = settings.fog = settings.underlay = settings.overlay = 1;
    return settings;
}

// Argument 0: the default settings through applySettings; 1: the heaviest.
Settings benchSettings(const benchmark::State& state)
{
    return state.range(0) == 0 ? Settings() : heaviestSettings();
}

void BM_SceneBuildWithSettings(benchmark::State& state)
{
    const Settings settings = benchSettings(state);
    for (auto _ : state) {
        state.PauseTiming();
        freshScene();
        applySettings(settings);
        state.ResumeTiming();
        buildScene();
        state.PauseTiming();
        releaseSceneResources();
        state.ResumeTiming();
    }
    finish();
}
BENCHMARK(BM_SceneBuildWithSettings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DrawFrameWithSettings(benchmark::State& state)
{
    freshScene();
    applySettings(benchSettings(state));
    initGlState(800, 600);
    for (auto _ : state) {
        simulatedNow += framePeriodMs;
        drawFrame();
    }
    releaseSceneResources();
    finish();
}
BENCHMARK(BM_DrawFrameWithSettings)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
