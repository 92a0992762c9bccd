#include "animation/monitor_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animation/view_set.h"

namespace {

// A layout as a host hands it over: the monitors, the window's top-left
// corner in the virtual screen and the window's size.
struct LayoutCase {
    const char* name;
    std::vector<ScreenRect> monitors;
    int originX, originY;
    float width, height;
    std::vector<PixelArea> areas;  // left, bottom, right, top
};

// Ten 100 by 100 monitors in a row, and the nine areas the first nine get.
std::vector<ScreenRect> tenInARow()
{
    std::vector<ScreenRect> monitors;
    for (int i = 0; i < 10; ++i)
        monitors.push_back({100 * i, 0, 100 * i + 100, 100});
    return monitors;
}
std::vector<PixelArea> firstNineInARow()
{
    std::vector<PixelArea> areas;
    for (int i = 0; i < 9; ++i)
        areas.push_back({100.0f * i, 0.0f, 100.0f * i + 100.0f, 100.0f});
    return areas;
}

const std::vector<LayoutCase>& layoutCases()
{
    static const std::vector<LayoutCase> cases = {
        {"one monitor", {{0, 0, 1024, 768}}, 0, 0, 1024, 768, {{0, 0, 1024, 768}}},
        // The shorter monitor hangs from the top edge: its area starts 168
        // pixels above the window's bottom.
        {"side by side, different heights",
         {{0, 0, 1024, 768}, {1024, 0, 1824, 600}},
         0, 0, 1824, 768,
         {{0, 0, 1024, 768}, {1024, 168, 1824, 768}}},
        {"one above another",
         {{0, 0, 1280, 1024}, {0, -720, 1280, 0}},
         0, -720, 1280, 1744,
         {{0, 0, 1280, 1024}, {0, 1024, 1280, 1744}}},
        {"left of the primary",
         {{0, 0, 1024, 768}, {-1280, 0, 0, 1024}},
         -1280, 0, 2304, 1024,
         {{1280, 256, 2304, 1024}, {0, 0, 1280, 1024}}},
        {"three monitors",
         {{0, 0, 800, 600}, {800, 0, 1824, 768}, {1824, 100, 2624, 700}},
         0, 0, 2624, 768,
         {{0, 168, 800, 768}, {800, 0, 1824, 768}, {1824, 68, 2624, 668}}},
        {"ten monitors: the first nine", tenInARow(), 0, 0, 1000, 100, firstNineInARow()},
        {"gaps between monitors",
         {{0, 0, 640, 480}, {1000, 200, 1640, 680}},
         0, 0, 1640, 680,
         {{0, 200, 640, 680}, {1000, 0, 1640, 480}}},
        // A window smaller than the layout (between a display change and the
        // window's resize): clipped, and a monitor wholly outside left out.
        {"window smaller than the monitors",
         {{0, 0, 1024, 768}, {1024, 0, 1824, 600}},
         0, 0, 1000, 700,
         {{0, 0, 1000, 700}}},
        {"empty monitors are left out",
         {{0, 0, 0, 768}, {10, 10, 20, 10}, {0, 0, 640, 480}},
         0, 0, 640, 480,
         {{0, 0, 640, 480}}},
        {"no monitors", {}, 0, 0, 640, 480, {}},
    };
    return cases;
}

TEST(MonitorAreas, TurnVirtualScreenRectanglesIntoWindowPixels)
{
    for (const LayoutCase& c : layoutCases()) {
        SCOPED_TRACE(c.name);
        PixelArea areas[monitorViewCapacity];
        const int count = monitorAreas(c.monitors.data(), int(c.monitors.size()), c.originX, c.originY, c.width,
                                       c.height, areas, monitorViewCapacity);
        ASSERT_EQ(count, int(c.areas.size()));
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE("area " + std::to_string(i));
            EXPECT_EQ(areas[i].left, c.areas[i].left);
            EXPECT_EQ(areas[i].bottom, c.areas[i].bottom);
            EXPECT_EQ(areas[i].right, c.areas[i].right);
            EXPECT_EQ(areas[i].top, c.areas[i].top);
        }
    }
}

TEST(MonitorAreas, WriteNoMoreThanTheCapacity)
{
    const std::vector<ScreenRect> monitors = tenInARow();
    PixelArea areas[3] = {};
    EXPECT_EQ(monitorAreas(monitors.data(), 10, 0, 0, 1000, 100, areas, 3), 3);
    EXPECT_EQ(areas[2].left, 200.0f);
}

TEST(MonitorAreas, FarCoordinatesDoNotOverflow)
{
    const ScreenRect monitor = {2147483000, -2147483000, 2147483600, -2147482400};
    PixelArea area = {};
    ASSERT_EQ(monitorAreas(&monitor, 1, 2147483000, -2147483000, 600, 600, &area, 1), 1);
    EXPECT_EQ(area.left, 0.0f);
    EXPECT_EQ(area.right, 600.0f);
    EXPECT_EQ(area.bottom, 0.0f);
    EXPECT_EQ(area.top, 600.0f);
}

TEST(LetterboxBand, InsetsByTheMonitorsOwnHeight)
{
    const PixelArea band = letterboxBand({1024, 168, 1824, 768}, 0.25f);
    EXPECT_EQ(band.left, 1024.0f);
    EXPECT_EQ(band.right, 1824.0f);
    EXPECT_EQ(band.bottom, 168.0f + 150.0f);
    EXPECT_EQ(band.top, 768.0f - 150.0f);
}

// The views the view set lays out for each layout: view 0 the whole window,
// then one letterboxed view per monitor in its band.
TEST(MonitorViews, EachMonitorGetsALetterboxedViewInItsBand)
{
    constexpr float bars = 0.25f;
    for (const LayoutCase& c : layoutCases()) {
        SCOPED_TRACE(c.name);
        ViewSet viewSet;
        viewSet.viewCount = 2;
        viewSet.views[1].letterboxed = 1;
        viewSet.barFraction = bars;
        viewSet.resize(c.width, c.height);
        viewSet.setMonitors(c.monitors.data(), int(c.monitors.size()), c.originX, c.originY);
        viewSet.layout();

        const View& background = viewSet.views[0];
        EXPECT_EQ(background.viewport[4], c.width);
        EXPECT_EQ(background.viewport[5], c.height);

        const bool wholeWindow = c.areas.size() == 1 && coversWindow(c.areas[0], c.width, c.height);
        const std::vector<PixelArea> expected =
            c.areas.empty() || wholeWindow ? std::vector<PixelArea>{{0, 0, c.width, c.height}} : c.areas;
        ASSERT_EQ(viewSet.activeViewCount(), 1 + int(expected.size()));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("view " + std::to_string(i + 1));
            const View& view = viewSet.views[i + 1];
            EXPECT_EQ(view.letterboxed, 1);
            const float inset = (expected[i].top - expected[i].bottom) * bars;
            EXPECT_EQ(view.viewport[0], expected[i].left);
            EXPECT_EQ(view.viewport[1], expected[i].bottom + inset);
            EXPECT_EQ(view.viewport[2], expected[i].right);
            EXPECT_EQ(view.viewport[3], expected[i].top - inset);
        }
    }
}

// One monitor that is the window lays out exactly as no monitors at all.
TEST(MonitorViews, OneWholeWindowMonitorIsTheSingleView)
{
    ViewSet plain;
    ViewSet withMonitor;
    const ScreenRect monitor = {-50, 20, 750, 620};
    for (ViewSet* viewSet : {&plain, &withMonitor}) {
        viewSet->viewCount = 2;
        viewSet->views[1].letterboxed = 1;
        viewSet->barFraction = 0.2f;
        viewSet->resize(800.0f, 600.0f);
    }
    withMonitor.setMonitors(&monitor, 1, -50, 20);
    plain.layout();
    withMonitor.layout();
    EXPECT_EQ(withMonitor.monitorViewCount, 0);
    EXPECT_EQ(withMonitor.activeViewCount(), 2);
    for (int corner = 0; corner < 6; ++corner)
        EXPECT_EQ(withMonitor.views[1].viewport[corner], plain.views[1].viewport[corner]) << corner;
}

// A new window size takes the monitors along, without a new setMonitors.
TEST(MonitorViews, ResizeMovesTheMonitorsWithTheWindowsTop)
{
    ViewSet viewSet;
    viewSet.viewCount = 2;
    const ScreenRect monitors[] = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
    viewSet.resize(1824.0f, 768.0f);
    viewSet.setMonitors(monitors, 2, 0, 0);
    viewSet.resize(1824.0f, 1000.0f);
    viewSet.layout();
    ASSERT_EQ(viewSet.monitorViewCount, 2);
    EXPECT_EQ(viewSet.views[1].viewport[1], 232.0f);
    EXPECT_EQ(viewSet.views[2].viewport[1], 400.0f);
    EXPECT_EQ(viewSet.views[2].viewport[3], 1000.0f);
}

// Without a view 1 the monitors get no views either.
TEST(MonitorViews, NeedAPerspectiveViewToReplace)
{
    ViewSet viewSet;
    viewSet.viewCount = 1;
    const ScreenRect monitors[] = {{0, 0, 100, 100}, {100, 0, 200, 100}};
    viewSet.resize(200.0f, 100.0f);
    viewSet.setMonitors(monitors, 2, 0, 0);
    EXPECT_EQ(viewSet.activeViewCount(), 1);
}

}  // namespace
