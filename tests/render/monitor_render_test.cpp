// Monitor layouts rendered for real: each monitor shows what a window of its
// own size shows, and the window outside the monitors stays black.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_director.h"
#include "gl_api.h"
#include "monitor_list.h"
#include "offscreen_context.h"
#include "render_picture.h"

namespace {

std::uint64_t simulatedNow = 0;
std::uint64_t simulatedMilliseconds() { return simulatedNow; }

constexpr Rgb black = {0, 0, 0};
// A time with visible bars.
constexpr std::uint64_t frameMs = 20000;

class MonitorRenderTest : public ::testing::Test {
protected:
    void SetUp() override { setMillisecondSource(simulatedMilliseconds); }

    void TearDown() override
    {
        releaseSceneResources();
        resetScene();
        context.close();
        setMillisecondSource(nullptr);
    }

    // A fresh scene in a window of the given size, with the given monitors
    // (none: one view), and its frame at frameMs.
    Picture render(int width, int height, const std::vector<ScreenRect>& monitors, int originX, int originY)
    {
        releaseSceneResources();
        resetScene();
        std::string error;
        EXPECT_TRUE(context.open(width, height, error)) << error;
        simulatedNow = 0;
        if (!monitors.empty())
            setMonitorLayout(monitors.data(), int(monitors.size()), originX, originY);
        initGlState(width, height);
        simulatedNow = frameMs;
        drawFrame();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        Picture picture;
        picture.width = width;
        picture.height = height;
        context.readFrame(picture.rgb);
        return picture;
    }

    OffscreenContext context;
};

struct Layout {
    const char* name;
    const char* monitors;  // as flowball-render --monitors takes them
};

// Small monitors keep the software renderer quick; the shapes are those of
// real layouts.
const Layout layouts[] = {
    {"side by side, different heights", "320x240+0+0,250x180+320+0"},
    {"left of the primary", "320x240+0+0,200x240-200+0"},
    {"one above another", "320x240+0+0,320x180+0-180"},
    {"gaps between monitors", "200x150+0+0,240x180+260+40"},
    {"three monitors", "160x120+0+0,240x180+160+0,160x120+400+60"},
};

TEST_F(MonitorRenderTest, EachMonitorShowsItsOwnWindowAndTheRestIsBlack)
{
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        std::vector<ScreenRect> monitors;
        std::string error;
        ASSERT_TRUE(parseMonitorList(layout.monitors, 8192, monitors, error)) << error;
        const ScreenRect bounds = monitorBounds(monitors);
        const int width = bounds.right - bounds.left;
        const int height = bounds.bottom - bounds.top;
        const Picture whole = render(width, height, monitors, bounds.left, bounds.top);

        std::vector<bool> covered(std::size_t(width) * std::size_t(height), false);
        for (std::size_t m = 0; m < monitors.size(); ++m) {
            SCOPED_TRACE("monitor " + std::to_string(m));
            const ScreenRect& monitor = monitors[m];
            const int monitorWidth = monitor.right - monitor.left;
            const int monitorHeight = monitor.bottom - monitor.top;
            const Picture alone = render(monitorWidth, monitorHeight, {}, 0, 0);
            ASSERT_GT(alone.rowsFromBottom(black), 0) << "bars at this time";
            // The monitor's bottom-left corner in the window's GL pixels.
            const int x0 = monitor.left - bounds.left;
            const int y0 = height - (monitor.bottom - bounds.top);
            int differing = 0;
            for (int y = 0; y < monitorHeight; ++y) {
                for (int x = 0; x < monitorWidth; ++x) {
                    covered[std::size_t(y0 + y) * std::size_t(width) + std::size_t(x0 + x)] = true;
                    const Rgb a = whole.at(x0 + x, y0 + y);
                    const Rgb b = alone.at(x, y);
                    if (std::abs(a.red - b.red) > 2 || std::abs(a.green - b.green) > 2 ||
                        std::abs(a.blue - b.blue) > 2)
                        ++differing;
                }
            }
            EXPECT_EQ(differing, 0) << "pixels unlike a window of the monitor's size";
        }
        int lit = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (!covered[std::size_t(y) * std::size_t(width) + std::size_t(x)] && !(whole.at(x, y) == black))
                    ++lit;
            }
        }
        EXPECT_EQ(lit, 0) << "pixels outside every monitor that are not black";
    }
}

}  // namespace
