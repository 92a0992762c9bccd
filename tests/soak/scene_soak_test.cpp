// The scene run for a long time against a GL that does nothing (the
// recording layer with its log off), with a simulated clock that jumps as a
// suspended machine's does, under the same checks every frame: once settled,
// a frame allocates nothing, and every animated value stays in its range.
//
// The regular run is short. The long run, 100,000 frames, under the
// sanitizers:
//   FLOWBALL_SOAK_FRAMES=100000 build/asan/tests/flowball-soak-tests
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_config.h"
#include "driver/scene_director.h"
#include "gl_recorder.h"

// Every allocation of the program passes here, so that the test sees the
// heap grow; the counts are the only addition to the usual operators.
namespace {
std::atomic<long> allocationCount{0};
std::atomic<long> liveAllocations{0};

void* countedAllocation(std::size_t size)
{
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr)
        throw std::bad_alloc();
    ++allocationCount;
    ++liveAllocations;
    return memory;
}

void countedRelease(void* memory)
{
    if (memory == nullptr)
        return;
    --liveAllocations;
    std::free(memory);
}
}  // namespace

void* operator new(std::size_t size) { return countedAllocation(size); }
void* operator new[](std::size_t size) { return countedAllocation(size); }
void operator delete(void* memory) noexcept { countedRelease(memory); }
void operator delete[](void* memory) noexcept { countedRelease(memory); }
void operator delete(void* memory, std::size_t) noexcept { countedRelease(memory); }
void operator delete[](void* memory, std::size_t) noexcept { countedRelease(memory); }

namespace {

std::uint64_t simulatedNow = 0;
std::uint64_t simulatedMilliseconds() { return simulatedNow; }

constexpr std::uint64_t framePeriodMs = 16;
constexpr std::uint64_t tenMinutesMs = 10 * 60 * 1000;
constexpr std::uint64_t oneDayMs = 24 * 60 * 60 * 1000;
// Frames before the heap is taken as settled: the first frames bind the
// texture and let the GL layer reach its working set.
constexpr long warmUpFrames = 100;

long soakFrames(long regular)
{
    const char* requested = std::getenv("FLOWBALL_SOAK_FRAMES");
    if (requested == nullptr)
        return regular;
    const long frames = std::strtol(requested, nullptr, 10);
    return frames > warmUpFrames ? frames : regular;
}

// The time of frame k: a steady 16 ms, with a 10-minute gap a third of the
// way through and a day's gap at two thirds.
std::uint64_t frameTime(long frame, long frames)
{
    std::uint64_t ms = std::uint64_t(frame) * framePeriodMs;
    if (frame >= frames / 3)
        ms += tenMinutesMs;
    if (frame >= 2 * frames / 3)
        ms += oneDayMs;
    return ms;
}

class SceneSoakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetScene();
        glrec::reset();
        glrec::setRecording(false);
        simulatedNow = 0;
        setMillisecondSource(simulatedMilliseconds);
    }

    void TearDown() override
    {
        releaseSceneResources();
        setMillisecondSource(nullptr);
        resetScene();
        glrec::reset();
    }

    // Builds at 64 by 48 pixels and draws the frames, checking after each
    // settled one that it allocated nothing, and at the end that the GL
    // objects kept their number; the animated values must stay in range
    // throughout. Stops at the first fault.
    void soak(long frames)
    {
        initGlState(64, 48);
        const std::size_t textures = glrec::liveTextures().size();
        const std::size_t lists = glrec::liveLists().size();
        long settledLive = 0;
        long settledTotal = 0;
        long jumps = 0;
        for (long frame = 0; frame < frames; ++frame) {
            const std::uint64_t previous = simulatedNow;
            simulatedNow = frameTime(frame, frames);
            if (simulatedNow - previous > framePeriodMs)
                ++jumps;
            drawFrame();
            if (frame == warmUpFrames) {
                settledLive = liveAllocations;
                settledTotal = allocationCount;
            }
            if (frame > warmUpFrames) {
                ASSERT_EQ(allocationCount.load(), settledTotal) << "an allocation in frame " << frame;
                ASSERT_EQ(liveAllocations.load(), settledLive) << "the heap changed size at frame " << frame;
            }
            ASSERT_NO_FATAL_FAILURE(expectSaneScene(frame));
        }
        EXPECT_EQ(jumps, 2) << "both gaps happened";
        EXPECT_EQ(glrec::liveTextures().size(), textures);
        EXPECT_EQ(glrec::liveLists().size(), lists);
        EXPECT_EQ(scene.clock.elapsedMs, double(frameTime(frames - 1, frames)));
    }

    static void expectSaneScene(long frame)
    {
        const double letterbox = scene.viewSet.barFraction;
        ASSERT_TRUE(letterbox >= 0.0 && letterbox <= 0.25) << "bar fraction " << letterbox << " at frame " << frame;
        ASSERT_GE(scene.clock.timeStep, 0.0);
        for (const Oscillator& oscillator : scene.oscillators) {
            ASSERT_TRUE(oscillator.level >= 0.0 && oscillator.level <= 1.0)
                << "oscillator " << oscillator.id << " level " << oscillator.level << " at frame " << frame;
            const double value = oscillator.value();
            ASSERT_TRUE(value >= oscillator.offset - 1e-9 && value <= oscillator.offset + oscillator.amplitude + 1e-9)
                << "oscillator " << oscillator.id << " value " << value << " at frame " << frame;
        }
        const Body& body = scene.viewSet.views[1].camera.body;
        ASSERT_TRUE(std::isfinite(body.position.x) && std::isfinite(body.angles.z));
        for (float coordinate : scene.light.location)
            ASSERT_TRUE(std::isfinite(coordinate) && std::fabs(coordinate) <= 2.0f);
    }
};

TEST_F(SceneSoakTest, TheSceneRunsThroughGapsWithoutGrowing) { soak(soakFrames(5000)); }

TEST_F(SceneSoakTest, EveryOptionalElementRunsThroughGapsWithoutGrowing)
{
    SceneSwitches& switches = sceneConfig.switches;
    switches.starFieldEnabled = 1;
    switches.particlesEnabled = 1;
    switches.fogEnabled = 1;
    switches.underlayEnabled = 1;
    switches.overlayEnabled = 1;
    switches.shapeBlendEnabled = 1;
    switches.depthTestEnabled = 1;
    soak(soakFrames(2000));
    for (int i = 0; i < scene.particles.liveCount(); ++i)
        EXPECT_TRUE(std::isfinite(scene.particles.x[i]) && std::isfinite(scene.particles.vz[i])) << "particle " << i;
}

// Three monitors in the 64 by 48 window, one of them shorter, with every
// element on: three views a frame, still nothing allocated.
TEST_F(SceneSoakTest, ThreeMonitorsRunThroughGapsWithoutGrowing)
{
    SceneSwitches& switches = sceneConfig.switches;
    switches.starFieldEnabled = 1;
    switches.particlesEnabled = 1;
    switches.fogEnabled = 1;
    const ScreenRect monitors[] = {{0, 0, 24, 48}, {24, 0, 48, 30}, {48, 10, 64, 40}};
    setMonitorLayout(monitors, 3, 0, 0);
    soak(soakFrames(2000));
    EXPECT_EQ(scene.viewSet.activeViewCount(), 4);
}

}  // namespace
