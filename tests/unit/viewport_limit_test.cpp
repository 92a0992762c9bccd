// Windows wider or taller than GL's largest viewport: GL would clamp the
// viewport and squeeze what spans the window into part of it, so such views
// are drawn in tiles within the limit that the recording GL reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "animation/view.h"
#include "animation/view_set.h"
#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_director.h"
#include "driver/scene_settings.h"
#include "scene_elements_test_support.h"
#include "settings/settings.h"

namespace {

struct TileCase {
    const char* what;
    float x, y, width, height;  // the view's viewport
    int maxWidth, maxHeight;
    std::vector<PixelTile> tiles;
};

TEST(ViewportTiles, ViewsBeyondTheLimitSplitIntoNearEqualTiles)
{
    const TileCase cases[] = {
        {"within the limit", 0, 0, 1920, 1080, 4096, 4096, {{0, 0, 1920, 1080}}},
        {"no limit known", 0, 0, 11520, 2160, 0, 0, {{0, 0, 11520, 2160}}},
        {"exactly the limit", 0, 0, 4096, 4096, 4096, 4096, {{0, 0, 4096, 4096}}},
        {"three 4K monitors", 0, 0, 11520, 2160, 4096, 4096,
         {{0, 0, 3840, 2160}, {3840, 0, 3840, 2160}, {7680, 0, 3840, 2160}}},
        {"one pixel over", 0, 0, 8193, 100, 8192, 8192, {{0, 0, 4096, 100}, {4096, 0, 4097, 100}}},
        {"letterboxed band, truncated", 0.0f, 150.7f, 1000, 299.9f, 400, 4096,
         {{0, 150, 333, 299}, {333, 150, 333, 299}, {666, 150, 334, 299}}},
        {"too tall as well", 10, 20, 600, 500, 400, 300,
         {{10, 20, 300, 250}, {310, 20, 300, 250}, {10, 270, 300, 250}, {310, 270, 300, 250}}},
        {"no size", 0, 0, 0, 0, 400, 300, {{0, 0, 0, 0}}},
    };
    for (const TileCase& c : cases) {
        SCOPED_TRACE(c.what);
        View view;
        view.setFractions(0, 0, 1, 1);
        view.setArea(c.x, c.y, c.x + c.width, c.y + c.height);
        view.computeViewport();
        ASSERT_EQ(view.tileCount(c.maxWidth, c.maxHeight), int(c.tiles.size()));
        for (int i = 0; i < int(c.tiles.size()); ++i) {
            const PixelTile tile = view.tile(i, c.maxWidth, c.maxHeight);
            const PixelTile& expected = c.tiles[std::size_t(i)];
            EXPECT_EQ(tile.x, expected.x) << i;
            EXPECT_EQ(tile.y, expected.y) << i;
            EXPECT_EQ(tile.width, expected.width) << i;
            EXPECT_EQ(tile.height, expected.height) << i;
        }
    }
}

TEST(ViewportTiles, TinyOrMissingLimitsAreNoLimit)
{
    ViewSet viewSet;
    viewSet.resize(11520, 2160);
    viewSet.layout();
    for (const int limit : {0, -1, 1, smallestViewportLimit - 1}) {
        viewSet.setViewportLimit(limit, limit);
        EXPECT_EQ(viewSet.tileCount(0), 1) << limit;
    }
    viewSet.setViewportLimit(smallestViewportLimit, 4096);
    EXPECT_EQ(viewSet.tileCount(0), 180);
    EXPECT_EQ(viewSet.tileCount(viewSetCapacity), 1);
}

std::uint64_t fakeNow = 0;
std::uint64_t fakeMilliseconds() { return fakeNow; }

// The whole scene in a window three times as wide as the limit.
class WideWindowTest : public ::testing::Test {
protected:
    static constexpr int windowWidth = 1500;
    static constexpr int windowHeight = 400;
    static constexpr int limit = 512;

    void SetUp() override
    {
        resetScene();
        glrec::reset();
        fakeNow = 1000;
        setMillisecondSource(fakeMilliseconds);
    }
    void TearDown() override
    {
        setMillisecondSource(nullptr);
        resetScene();
        glrec::reset();
    }

    static void build(const Settings& settings)
    {
        applySettings(settings);
        glrec::setMaxViewportDims(limit, limit);
        readViewportLimit();
        initGlState(windowWidth, windowHeight);
    }

    static std::vector<glrec::Call> frameAt(std::uint64_t ms)
    {
        glrec::clearCalls();
        fakeNow = 1000 + ms;
        drawFrame();
        return glrec::calls();
    }
};

std::vector<glrec::Call> named(const std::vector<glrec::Call>& calls, const std::string& name)
{
    std::vector<glrec::Call> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [&name](const glrec::Call& call) { return call.name == name; });
    return found;
}

TEST_F(WideWindowTest, NoViewportExceedsTheLimitAndTheTilesCoverTheWindow)
{
    Settings everything;
    everything.underlay = everything.overlay = 1;
    build(everything);
    EXPECT_EQ(glrec::countCalls("glGetIntegerv"), 1u);
    const std::vector<glrec::Call> frame = frameAt(40);

    const std::vector<glrec::Call> viewports = named(frame, "glViewport");
    // Background with underlay, the letterboxed view, the overlay: three
    // tiles each.
    ASSERT_EQ(viewports.size(), 9u);
    for (const glrec::Call& viewport : viewports) {
        EXPECT_LE(viewport.args[2], limit) << viewport.text();
        EXPECT_LE(viewport.args[3], limit) << viewport.text();
    }
    // The background's tiles side by side over the whole window, each with
    // its own pixel projection.
    const std::vector<glrec::Call> orthos = named(frame, "glOrtho");
    ASSERT_EQ(orthos.size(), 6u);
    EXPECT_EQ(viewports[0].text(), "glViewport(0, 0, 500, 400)");
    EXPECT_EQ(viewports[1].text(), "glViewport(500, 0, 500, 400)");
    EXPECT_EQ(viewports[2].text(), "glViewport(1000, 0, 500, 400)");
    EXPECT_EQ(orthos[1].text(), "glOrtho(500, 1000, 0, 400, -1, 1)");
    // One clear for the window: later tiles must not clear what the first
    // painted. The underlay and the overlay are drawn once in every tile.
    EXPECT_EQ(named(frame, "glClear").size(), 1u);
    EXPECT_EQ(named(frame, "gluPerspective").size(), 3u);
    EXPECT_EQ(named(frame, "glScalef").size(), 3u);
}

TEST_F(WideWindowTest, EachPartOfThePerspectiveViewShowsWhatTheWholeViewShows)
{
    build(Settings());
    frameAt(40);
    ViewSet& viewSet = scene.viewSet;
    const PixelTile whole = viewSet.views[1].truncatedViewport();
    ASSERT_EQ(viewSet.tileCount(1), 3);

    // Where a point lands in window pixels: through the projection on the
    // recorder's stack and the viewport.
    const auto windowX = [](const PixelTile& viewport, float eyeX, float eyeZ) {
        const GLfloat* p = glrec::matrix(GL_PROJECTION);
        const float clipX = p[0] * eyeX + p[8] * eyeZ + p[12];
        const float clipW = p[3] * eyeX + p[11] * eyeZ + p[15];
        return float(viewport.x) + (clipX / clipW + 1.0f) * 0.5f * float(viewport.width);
    };
    viewSet.applyViewport(1);
    viewSet.views[1].camera.applyProjection(viewSet);
    const float eyeZ = -0.5f;
    std::vector<float> wholeX;
    for (float eyeX : {-0.7f, -0.2f, 0.0f, 0.3f, 0.8f})
        wholeX.push_back(windowX(whole, eyeX, eyeZ));
    for (int tile = 0; tile < 3; ++tile) {
        SCOPED_TRACE(tile);
        viewSet.applyPerspectiveTile(1, tile);
        const PixelTile part = viewSet.views[1].tile(tile, limit, limit);
        int index = 0;
        for (float eyeX : {-0.7f, -0.2f, 0.0f, 0.3f, 0.8f})
            EXPECT_NEAR(windowX(part, eyeX, eyeZ), wholeX[std::size_t(index++)], 0.01f) << eyeX;
    }
}

TEST_F(WideWindowTest, WithinTheLimitNothingChanges)
{
    // A limit above the window: the frame is call for call the one drawn
    // without a limit.
    applySettings(Settings());
    initGlState(windowWidth, windowHeight);
    const std::vector<std::string> unlimited = glrec::callTexts();
    const std::vector<glrec::Call> unlimitedFrame = frameAt(40);
    TearDown();
    SetUp();
    applySettings(Settings());
    glrec::setMaxViewportDims(windowWidth, windowHeight);
    readViewportLimit();
    glrec::clearCalls();
    initGlState(windowWidth, windowHeight);
    EXPECT_EQ(glrec::callTexts(), unlimited);
    const std::vector<glrec::Call> limitedFrame = frameAt(40);
    ASSERT_EQ(limitedFrame.size(), unlimitedFrame.size());
    for (std::size_t i = 0; i < limitedFrame.size(); ++i)
        EXPECT_EQ(limitedFrame[i].text(), unlimitedFrame[i].text()) << i;
}

}  // namespace
