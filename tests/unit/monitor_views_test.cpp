// One perspective view per monitor: the background each monitor gets and
// the frames the director draws over a monitor layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "animation/view_set.h"
#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_config.h"
#include "driver/scene_director.h"
#include "math/random.h"
#include "scene_elements_test_support.h"

namespace {

// Two monitors side by side, the right one shorter and hanging from the
// top: the window is their bounding box.
const ScreenRect twoMonitors[] = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
constexpr int layoutWidth = 1824;
constexpr int layoutHeight = 768;

void quadCalls(std::vector<ExpectedCall>& calls, float left, float bottom, float right, float top)
{
    calls.push_back({"glVertex2f", {left, bottom}});
    calls.push_back({"glVertex2f", {right, bottom}});
    calls.push_back({"glVertex2f", {right, top}});
    calls.push_back({"glVertex2f", {left, top}});
}

class MonitorBackgroundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        viewSet.setClearColour(0.0f, 0.0f, 0.075f, 1.0f);
        viewSet.resize(float(layoutWidth), float(layoutHeight));
        viewSet.setMonitors(twoMonitors, 2, 0, 0);
        glrec::clearCalls();
    }
    ViewSet viewSet;
};

// Opaque: one clear makes bars and the space below the short monitor black,
// then each monitor's band is filled at its own height.
TEST_F(MonitorBackgroundTest, OpaqueFillClearsThenFillsEachBand)
{
    viewSet.barFraction = 0.25f;
    viewSet.drawBackground();
    std::vector<ExpectedCall> expected = {
        {"glDepthMask", {GL_TRUE}},
        {"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}},
        {"glDisable", {GL_BLEND}},
        {"glColor4f", {0, 0, 0.075f, 1}},
        {"glBegin", {GL_QUADS}},
    };
    quadCalls(expected, 0, 192, 1024, 575);     // 768 high: 192 to 576 - 1
    quadCalls(expected, 1024, 318, 1824, 617);  // 600 high from 168: 168 + 150 to 168 + 450 - 1
    expected.push_back({"glEnd", {}});
    expectCalls(expected);
}

TEST_F(MonitorBackgroundTest, NoBarsAndOpaqueFillIsOneClear)
{
    viewSet.barFraction = 0.0f;
    viewSet.drawBackground();
    expectCalls({{"glDepthMask", {GL_TRUE}}, {"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}}});
}

// Translucent (the build's first background): bars per monitor, then the
// blended fills, the colour buffer kept.
TEST_F(MonitorBackgroundTest, TranslucentFillPaintsBarsThenBlendsEachBand)
{
    viewSet.barFraction = 0.25f;
    viewSet.fillAlpha = 0.2f;
    viewSet.drawBackground();
    std::vector<ExpectedCall> expected = {
        {"glDepthMask", {GL_TRUE}},
        {"glClear", {GL_DEPTH_BUFFER_BIT}},
        {"glDisable", {GL_BLEND}},
        {"glColor4f", {0, 0, 0, 1}},
        {"glBegin", {GL_QUADS}},
    };
    quadCalls(expected, 0, 0, 1024, 193);
    quadCalls(expected, 0, 575, 1024, 768);
    quadCalls(expected, 1024, 168, 1824, 319);
    quadCalls(expected, 1024, 617, 1824, 768);
    expected.push_back({"glEnd", {}});
    expected.push_back({"glEnable", {GL_BLEND}});
    expected.push_back({"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}});
    expected.push_back({"glColor4f", {0, 0, 0.075f, 0.2f}});
    expected.push_back({"glBegin", {GL_QUADS}});
    quadCalls(expected, 0, 192, 1024, 575);
    quadCalls(expected, 1024, 318, 1824, 617);
    expected.push_back({"glEnd", {}});
    expectCalls(expected);
}

std::uint64_t fakeNow = 0;
std::uint64_t fakeMilliseconds() { return fakeNow; }
constexpr std::uint64_t buildMoment = 5000;

class MonitorFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetScene();
        glrec::reset();
        fakeNow = buildMoment;
        setMillisecondSource(fakeMilliseconds);
    }
    void TearDown() override
    {
        setMillisecondSource(nullptr);
        resetScene();
        glrec::reset();
    }
    void restart()
    {
        TearDown();
        SetUp();
    }
    static void drawFrameAt(std::uint64_t msAfterBuild)
    {
        fakeNow = buildMoment + msAfterBuild;
        drawFrame();
    }
    // Two frames at fixed times; the log of the second.
    static std::vector<glrec::Call> secondFrame()
    {
        drawFrameAt(40);
        glrec::clearCalls();
        drawFrameAt(1500);
        return glrec::calls();
    }
};

// One view per monitor, each in its own band with its own aspect, both from
// view 1's camera.
TEST_F(MonitorFrameTest, TwoMonitorsDrawTwoViewsFromOneCamera)
{
    setMonitorLayout(twoMonitors, 2, 0, 0);
    initGlState(layoutWidth, layoutHeight);
    secondFrame();

    const std::vector<glrec::Call> viewports = callsNamed("glViewport");
    ASSERT_EQ(viewports.size(), 3u);
    EXPECT_EQ(viewports[0].args, (std::vector<double>{0, 0, layoutWidth, layoutHeight}));
    const View& first = scene.viewSet.views[1];
    const View& second = scene.viewSet.views[2];
    const float f = scene.viewSet.barFraction;
    ASSERT_GT(f, 0.0f);
    EXPECT_EQ(first.viewport[1], 768.0f * f);
    EXPECT_EQ(first.viewport[4], 1024.0f);
    EXPECT_EQ(second.viewport[0], 1024.0f);
    EXPECT_EQ(second.viewport[1], 168.0f + 600.0f * f);
    EXPECT_EQ(second.viewport[3], 768.0f - 600.0f * f);
    EXPECT_EQ(viewports[1].args[0], 0.0);
    EXPECT_EQ(viewports[2].args[0], 1024.0);
    EXPECT_EQ(viewports[2].args[2], 800.0);

    const std::vector<glrec::Call> perspectives = callsNamed("gluPerspective");
    ASSERT_EQ(perspectives.size(), 2u);
    EXPECT_FLOAT_EQ(float(perspectives[0].args[1]), first.viewport[4] / first.viewport[5]);
    EXPECT_FLOAT_EQ(float(perspectives[1].args[1]), second.viewport[4] / second.viewport[5]);
    EXPECT_EQ(perspectives[0].args[0], perspectives[1].args[0]) << "one field of view";
    EXPECT_EQ(perspectives[0].args[2], perspectives[1].args[2]);
    EXPECT_EQ(perspectives[0].args[3], perspectives[1].args[3]);

    // The same camera transform, read back twice.
    for (const char* name : {"gluLookAt", "glRotatef", "glTranslatef"}) {
        SCOPED_TRACE(name);
        const std::vector<glrec::Call> calls = callsNamed(name);
        ASSERT_EQ(calls.size() % 2, 0u);
        const std::size_t half = calls.size() / 2;
        ASSERT_GT(half, 0u);
        for (std::size_t i = 0; i < half; ++i)
            EXPECT_EQ(calls[i].args, calls[half + i].args) << i;
    }
    EXPECT_EQ(second.camera.body.position.x, first.camera.body.position.x);
    EXPECT_EQ(second.camera.body.angles.y, first.camera.body.angles.y);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(second.camera.modelview[i], first.camera.modelview[i]);
}

// The monitors share the clock and the random draws: the frames leave the
// generator where the single view leaves it.
TEST_F(MonitorFrameTest, MonitorsDrawNothingRandomOfTheirOwn)
{
    initGlState(layoutWidth, layoutHeight);
    secondFrame();
    const std::uint32_t single = randomState();
    restart();

    setMonitorLayout(twoMonitors, 2, 0, 0);
    initGlState(layoutWidth, layoutHeight);
    secondFrame();
    EXPECT_EQ(randomState(), single);
}

// A layout that is one monitor over the whole window draws the very calls of
// no layout at all.
TEST_F(MonitorFrameTest, OneMonitorDrawsTodaysCalls)
{
    initGlState(1024, 768);
    const std::vector<glrec::Call> plain = secondFrame();
    restart();

    const ScreenRect monitor = {0, 0, 1024, 768};
    setMonitorLayout(&monitor, 1, 0, 0);
    initGlState(1024, 768);
    const std::vector<glrec::Call> withMonitor = secondFrame();
    ASSERT_EQ(withMonitor.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        ASSERT_EQ(withMonitor[i].text(), plain[i].text()) << "call " << i;
}

// A new layout while running rebuilds nothing and draws nothing by itself;
// the next frame follows it, and an empty layout brings back the one view.
TEST_F(MonitorFrameTest, NewLayoutWhileRunningKeepsTheScene)
{
    initGlState(layoutWidth, layoutHeight);
    drawFrameAt(40);
    const std::vector<GLuint> textures = glrec::liveTextures();
    glrec::clearCalls();

    setMonitorLayout(twoMonitors, 2, 0, 0);
    EXPECT_TRUE(glrec::calls().empty());
    drawFrameAt(80);
    EXPECT_EQ(glrec::countCalls("gluPerspective"), 2u);

    // A third monitor left of the primary: the window grows to the left.
    const ScreenRect threeMonitors[] = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}, {-800, 0, 0, 600}};
    setMonitorLayout(threeMonitors, 3, -800, 0);
    resizeViews(2624, 768);
    glrec::clearCalls();
    drawFrameAt(120);
    const std::vector<glrec::Call> viewports = callsNamed("glViewport");
    ASSERT_EQ(viewports.size(), 4u);
    EXPECT_EQ(viewports[0].args, (std::vector<double>{0, 0, 2624, 768}));
    EXPECT_EQ(viewports[1].args[0], 800.0);
    EXPECT_EQ(viewports[2].args[0], 1824.0);
    EXPECT_EQ(viewports[3].args[0], 0.0);

    setMonitorLayout(nullptr, 0, 0, 0);
    glrec::clearCalls();
    drawFrameAt(160);
    EXPECT_EQ(glrec::countCalls("gluPerspective"), 1u);

    EXPECT_EQ(glrec::liveTextures(), textures);
    EXPECT_EQ(glrec::textureUploads().size(), 4u) << "only the build's uploads";
}

// A layout given before the build survives it, and the build's first
// background is painted per monitor.
TEST_F(MonitorFrameTest, LayoutBeforeTheBuildPaintsTheFirstBackgroundPerMonitor)
{
    setMonitorLayout(twoMonitors, 2, 0, 0);
    initGlState(layoutWidth, layoutHeight);
    EXPECT_EQ(scene.viewSet.monitorViewCount, 2);
    const std::vector<glrec::Call> colours = callsNamed("glColor4f");
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(colours.back().args, (std::vector<double>{0, 0, 0.075f, 0.2f}));
    // Bars of the two monitors, then their two bands.
    EXPECT_EQ(glrec::countCalls("glVertex2f"), 24u);
}

}  // namespace
