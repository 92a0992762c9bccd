#include "animation/view_set.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "gl_recorder.h"

namespace {

std::string callText(const char* name, std::vector<double> args) { return glrec::Call{name, std::move(args)}.text(); }

void expectFloats(const float* actual, std::vector<float> expected)
{
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_FLOAT_EQ(actual[i], expected[i]) << "index " << i;
}

class ViewSetTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

// The global view set is built before any GL context exists.
TEST_F(ViewSetTest, ConstructorCallsNoGl)
{
    ViewSet viewSet;
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(ViewSetTest, ConstructorGivesViewZeroTheWholeDefaultWindow)
{
    ViewSet viewSet;
    EXPECT_EQ(viewSet.width, 100.0f);
    EXPECT_EQ(viewSet.height, 100.0f);
    EXPECT_EQ(viewSet.extentY, 100.0f);
    EXPECT_EQ(viewSet.fillAlpha, 1.0f);
    EXPECT_EQ(viewSet.barFraction, 0.0f);
    EXPECT_EQ(viewSet.viewCount, 1);
    EXPECT_EQ(viewSet.currentView, 0);
    expectFloats(viewSet.clearColour, {0, 0, 0, 1});
    expectFloats(viewSet.views[0].area, {0, 0, 100, 100, 100, 100});
    expectFloats(viewSet.views[0].viewport, {0, 0, 100, 100, 100, 100});
    // The other views wait for their first layout.
    expectFloats(viewSet.views[1].area, {0, 0, 100, 100, 0, 0});
    expectFloats(viewSet.views[1].viewport, {0, 0, 0, 0, 0, 0});
}

TEST_F(ViewSetTest, ResizeAloneLeavesTheViewsAlone)
{
    ViewSet viewSet;
    viewSet.resize(800.0f, 600.0f);
    EXPECT_EQ(viewSet.right, 800.0f);
    EXPECT_EQ(viewSet.top, 600.0f);
    EXPECT_EQ(viewSet.extentX, 800.0f);
    EXPECT_EQ(viewSet.extentY, 600.0f);
    expectFloats(viewSet.views[0].area, {0, 0, 100, 100, 100, 100});
    expectFloats(viewSet.views[0].viewport, {0, 0, 100, 100, 100, 100});
}

TEST_F(ViewSetTest, SetClearColourStoresWithoutCallingGl)
{
    ViewSet viewSet;
    viewSet.setClearColour(0.0f, 0.0f, 0.075f, 1.0f);
    expectFloats(viewSet.clearColour, {0, 0, 0.075f, 1});
    EXPECT_TRUE(glrec::calls().empty());
}

// The two paths of the background, with W = 800 and H = 600.
TEST_F(ViewSetTest, DrawBackgroundClearsOrPaintsBarsAndFill)
{
    const std::string depthMask = callText("glDepthMask", {GL_TRUE});
    const std::string depthClear = callText("glClear", {GL_DEPTH_BUFFER_BIT});
    const std::string noBlend = callText("glDisable", {GL_BLEND});
    const std::string black = callText("glColor4f", {0, 0, 0, 1});
    const std::string quads = callText("glBegin", {GL_QUADS});
    const std::string end = callText("glEnd", {});
    const std::string blendOn = callText("glEnable", {GL_BLEND});
    const std::string blendFunc = callText("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA});
    auto vertex = [](double x, double y) { return callText("glVertex2f", {x, y}); };
    const struct {
        const char* name;
        float barFraction, fillAlpha;
        std::vector<std::string> expected;
    } cases[] = {
        {"no bars, opaque fill: one clear", 0.0f, 1.0f,
         {depthMask, callText("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT})}},
        {"bars at 0.25, translucent fill: blended", 0.25f, 0.2f,
         {depthMask, depthClear, noBlend, black, quads,
          vertex(0, 0), vertex(800, 0), vertex(800, 151), vertex(0, 151),
          vertex(0, 449), vertex(800, 449), vertex(800, 600), vertex(0, 600), end,
          blendOn, blendFunc, callText("glColor4f", {0.25, 0.5, 0.75, 0.2f}), quads,
          vertex(0, 150), vertex(800, 150), vertex(800, 449), vertex(0, 449), end}},
        {"bars at 0.25, opaque fill: no blending", 0.25f, 1.0f,
         {depthMask, depthClear, noBlend, black, quads,
          vertex(0, 0), vertex(800, 0), vertex(800, 151), vertex(0, 151),
          vertex(0, 449), vertex(800, 449), vertex(800, 600), vertex(0, 600), end,
          callText("glColor4f", {0.25, 0.5, 0.75, 1}), quads,
          vertex(0, 150), vertex(800, 150), vertex(800, 449), vertex(0, 449), end}},
        {"no bars, translucent fill: one-pixel bars", 0.0f, 0.2f,
         {depthMask, depthClear, noBlend, black, quads,
          vertex(0, 0), vertex(800, 0), vertex(800, 1), vertex(0, 1),
          vertex(0, 599), vertex(800, 599), vertex(800, 600), vertex(0, 600), end,
          blendOn, blendFunc, callText("glColor4f", {0.25, 0.5, 0.75, 0.2f}), quads,
          vertex(0, 0), vertex(800, 0), vertex(800, 599), vertex(0, 599), end}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewSet viewSet;
        viewSet.resize(800.0f, 600.0f);
        viewSet.setClearColour(0.25f, 0.5f, 0.75f, 1.0f);
        viewSet.barFraction = c.barFraction;
        viewSet.fillAlpha = c.fillAlpha;
        glrec::reset();
        viewSet.drawBackground();
        EXPECT_EQ(glrec::callTexts(), c.expected);
        // A translucent fill leaves blending on for the caller.
        EXPECT_EQ(glIsEnabled(GL_BLEND), c.fillAlpha != 1.0f ? GL_TRUE : GL_FALSE);
    }
}

TEST_F(ViewSetTest, LayoutInsetsLetterboxedViewsByTheBars)
{
    const struct {
        float barFraction;
        int letterboxed;
        std::vector<float> viewport;
    } cases[] = {
        {0.25f, 1, {0, 150, 800, 450, 800, 300}},
        {0.0f, 1, {0, 0, 800, 600, 800, 600}},
        {0.25f, 0, {0, 0, 800, 600, 800, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.barFraction << " letterboxed " << c.letterboxed);
        ViewSet viewSet;
        viewSet.resize(800.0f, 600.0f);
        viewSet.viewCount = 2;
        viewSet.views[1].letterboxed = c.letterboxed;
        viewSet.views[1].setFractions(0, 0, 1, 1);
        viewSet.barFraction = c.barFraction;
        viewSet.layout();
        expectFloats(viewSet.views[1].area, c.viewport);
        expectFloats(viewSet.views[1].viewport, c.viewport);
        expectFloats(viewSet.views[0].viewport, {0, 0, 800, 600, 800, 600});
        EXPECT_TRUE(glrec::calls().empty());
    }
}

// The 800 by 600 window with bars at 0.25, as a frame uses it.
TEST_F(ViewSetTest, LetterboxedViewGetsItsViewportAndAspect)
{
    ViewSet viewSet;
    viewSet.resize(800.0f, 600.0f);
    viewSet.viewCount = 2;
    viewSet.views[1].letterboxed = 1;
    viewSet.barFraction = 0.25f;
    viewSet.layout();
    glrec::reset();
    viewSet.applyViewport(1);
    viewSet.views[1].camera.applyProjection(viewSet);
    EXPECT_EQ(viewSet.currentView, 1);
    ASSERT_GE(glrec::calls().size(), 4u);
    EXPECT_EQ(glrec::callTexts()[0], "glViewport(0, 150, 800, 300)");
    const glrec::Call& perspective = glrec::calls()[3];
    ASSERT_EQ(perspective.name, "gluPerspective");
    EXPECT_EQ(perspective.args[1], static_cast<double>(800.0f / 300.0f));
}

TEST_F(ViewSetTest, ApplyOrthoSelectsTheViewAndSetsPixelProjection)
{
    ViewSet viewSet;
    viewSet.resize(640.0f, 480.0f);
    viewSet.layout();
    viewSet.currentView = 3;
    glrec::reset();
    viewSet.applyOrtho(0);
    EXPECT_EQ(viewSet.currentView, 0);
    const std::vector<std::string> expected = {
        callText("glMatrixMode", {GL_PROJECTION}), callText("glLoadIdentity", {}),
        callText("glOrtho", {0, 640, 0, 480, -1, 1}), callText("glMatrixMode", {GL_MODELVIEW}),
        callText("glLoadIdentity", {}),
    };
    EXPECT_EQ(glrec::callTexts(), expected);
}

TEST_F(ViewSetTest, IndicesOutsideTheTenViewsAreIgnored)
{
    ViewSet viewSet;
    viewSet.applyViewport(2);
    for (int index : {-1, 10, 11, 1000, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(index);
        glrec::reset();
        viewSet.applyViewport(index);
        viewSet.applyOrtho(index);
        EXPECT_TRUE(glrec::calls().empty());
        EXPECT_EQ(viewSet.currentView, 2);
    }
    glrec::reset();
    viewSet.applyViewport(9);
    EXPECT_EQ(viewSet.currentView, 9);
    EXPECT_EQ(glrec::calls().size(), 1u);
}

TEST_F(ViewSetTest, LayoutTakesViewCountWithinTheTenViews)
{
    const struct {
        int viewCount;
        int laidOut;
    } cases[] = {{11, 10}, {1000, 10}, {INT_MAX, 10}, {10, 10}, {3, 3}, {0, 0}, {-5, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.viewCount);
        ViewSet viewSet;
        viewSet.resize(200.0f, 100.0f);
        viewSet.viewCount = c.viewCount;
        viewSet.layout();
        for (int i = 0; i < viewSetCapacity; ++i) {
            // View 0 keeps the constructor's 100 by 100 unless laid out.
            const float expectedWidth = i < c.laidOut ? 200.0f : (i == 0 ? 100.0f : 0.0f);
            EXPECT_EQ(viewSet.views[i].viewport[4], expectedWidth) << "view " << i;
        }
    }
}

}  // namespace

// A window laid over several drawables: each viewport reaches GL moved to the
// drawable's part and scaled to its pixels; the limit counts drawable pixels.
TEST_F(ViewSetTest, ShownPartMovesAndScalesEveryViewport)
{
    const struct {
        int left;
        int bottom;
        int scale;
        int maxSide;
        std::vector<std::string> viewports;
    } cases[] = {
        {0, 0, 1, 16384, {"glViewport(0, 150, 800, 300)"}},
        {1024, 0, 1, 16384, {"glViewport(-1024, 150, 800, 300)"}},
        {200, 100, 2, 16384, {"glViewport(-400, 100, 1600, 600)"}},
        // 800 drawable pixels allow 400 window pixels at scale 2: two tiles.
        {0, 0, 2, 800, {"glViewport(0, 300, 800, 600)", "glViewport(800, 300, 800, 600)"}},
        // Scales outside 1 to 16 are taken within them.
        {0, 0, 0, 16384, {"glViewport(0, 150, 800, 300)"}},
        {0, 0, 99, 16384, {"glViewport(0, 2400, 12800, 4800)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << "," << c.bottom << " x" << c.scale << " limit " << c.maxSide);
        ViewSet viewSet;
        viewSet.resize(800.0f, 600.0f);
        viewSet.viewCount = 2;
        viewSet.views[1].letterboxed = 1;
        viewSet.barFraction = 0.25f;
        viewSet.layout();
        viewSet.setViewportLimit(c.maxSide, c.maxSide);
        viewSet.showPart(c.left, c.bottom, c.scale);
        glrec::reset();
        const int tiles = viewSet.tileCount(1);
        for (int tile = 0; tile < tiles; ++tile)
            viewSet.applyPerspectiveTile(1, tile);
        std::vector<std::string> viewports;
        for (const std::string& text : glrec::callTexts())
            if (text.rfind("glViewport", 0) == 0)
                viewports.push_back(text);
        EXPECT_EQ(viewports, c.viewports);
    }
}

TEST_F(ViewSetTest, ShownPartFarOutClampsToTheIntRange)
{
    ViewSet viewSet;
    viewSet.resize(800.0f, 600.0f);
    viewSet.layout();
    viewSet.showPart(INT_MIN, INT_MAX, 16);
    glrec::reset();
    viewSet.applyViewport(0);
    ASSERT_EQ(glrec::calls().size(), 1u);
    EXPECT_EQ(glrec::calls()[0].args[0], double(INT_MAX));
    EXPECT_EQ(glrec::calls()[0].args[1], double(INT_MIN));
}
