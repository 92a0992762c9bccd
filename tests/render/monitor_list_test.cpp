// flowball-render's --monitors: the list parser as a table, and the tool
// run with a layout.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "monitor_list.h"
#include "png_file.h"
#include "render_options.h"

namespace {

struct ListCase {
    const char* text;
    std::vector<ScreenRect> monitors;  // left, top, right, bottom
};

TEST(MonitorList, ParsesEachMonitorWithSignedEdges)
{
    const ListCase cases[] = {
        {"1024x768+0+0", {{0, 0, 1024, 768}}},
        {"1024x768+0+0,800x600+1024+0", {{0, 0, 1024, 768}, {1024, 0, 1824, 600}}},
        {"1280x1024-1280+0,1024x768+0+0", {{-1280, 0, 0, 1024}, {0, 0, 1024, 768}}},
        {"1280x720+0-720", {{0, -720, 1280, 0}}},
        {"1x1+65536-65536", {{65536, -65536, 65537, -65535}}},
        {"8192x1+0+0", {{0, 0, 8192, 1}}},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<ScreenRect> monitors;
        std::string error;
        ASSERT_TRUE(parseMonitorList(c.text, 8192, monitors, error)) << error;
        ASSERT_EQ(monitors.size(), c.monitors.size());
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            EXPECT_EQ(monitors[i].left, c.monitors[i].left) << i;
            EXPECT_EQ(monitors[i].top, c.monitors[i].top) << i;
            EXPECT_EQ(monitors[i].right, c.monitors[i].right) << i;
            EXPECT_EQ(monitors[i].bottom, c.monitors[i].bottom) << i;
        }
    }
}

TEST(MonitorList, RefusesMalformedListsWithTheOptionsName)
{
    const char* const bad[] = {
        "",
        ",",
        "1024x768+0+0,",
        ",1024x768+0+0",
        "1024x768",
        "1024x768+0",
        "1024x768+0+0+0",
        "1024X768+0+0",
        "1024x768 +0+0",
        " 1024x768+0+0",
        "0x768+0+0",
        "1024x0+0+0",
        "8193x10+0+0",
        "-1024x768+0+0",
        "1024x768++0+0",
        "1024x768+0+65537",
        "1024x768+0+99999999999999999999",
        "1024x768+a+0",
        "1024x768;800x600+0+0",
        // Bounding boxes beyond 8192 a side.
        "4096x100+0+0,4097x100+4096+0",
        "100x100+0+0,100x100+0+8100",
        // Seventeen monitors.
        "1x1+0+0,1x1+1+0,1x1+2+0,1x1+3+0,1x1+4+0,1x1+5+0,1x1+6+0,1x1+7+0,1x1+8+0,1x1+9+0,1x1+10+0,1x1+11+0,"
        "1x1+12+0,1x1+13+0,1x1+14+0,1x1+15+0,1x1+16+0",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(std::string("'") + text + "'");
        std::vector<ScreenRect> monitors = {{1, 2, 3, 4}};
        std::string error;
        EXPECT_FALSE(parseMonitorList(text, 8192, monitors, error));
        EXPECT_EQ(error.rfind("--monitors", 0), 0u) << error;
        ASSERT_EQ(monitors.size(), 1u) << "left as it was";
        EXPECT_EQ(monitors[0].right, 3);
    }
}

TEST(MonitorList, BoundsHoldEveryMonitor)
{
    const ScreenRect bounds = monitorBounds({{0, 0, 1024, 768}, {-800, 100, 0, 700}, {1024, -50, 1500, 10}});
    EXPECT_EQ(bounds.left, -800);
    EXPECT_EQ(bounds.top, -50);
    EXPECT_EQ(bounds.right, 1500);
    EXPECT_EQ(bounds.bottom, 768);
}

TEST(MonitorList, TheOptionSetsTheWindowToTheBoundingBox)
{
    const char* arguments[] = {"flowball-render", "--monitors", "1024x768+0+0,800x600-800+100", "--out", "f"};
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parseRenderOptions(5, arguments, options, error)) << error;
    EXPECT_EQ(options.width, 1824);
    EXPECT_EQ(options.height, 768);
    ASSERT_EQ(options.monitors.size(), 2u);
    EXPECT_EQ(options.monitors[1].left, -800);

    // The setting's own values still choose between a view per monitor and
    // one across them.
    const char* span[] = {"flowball-render", "--monitors", "64x48+0+0,64x48+64+0", "-monitors=span", "--out", "f"};
    RenderOptions spanning;
    ASSERT_TRUE(parseRenderOptions(6, span, spanning, error)) << error;
    EXPECT_EQ(spanning.settings.monitors, 1);
    EXPECT_EQ(spanning.monitors.size(), 2u);
    EXPECT_EQ(spanning.width, 128);

    const char* withSize[] = {"flowball-render", "--size", "64x48", "--monitors=64x48+0+0", "--out", "f"};
    EXPECT_FALSE(parseRenderOptions(6, withSize, options, error));
    EXPECT_NE(error.find("leave out --size"), std::string::npos) << error;
}

// The tool itself: a picture the size of the bounding box, black below the
// shorter monitor; a bad list is a command-line error naming the option.
TEST(MonitorList, ToolRendersTheLayoutAndRefusesBadLists)
{
    char pattern[] = "/tmp/flowball-monitors-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string scratch = pattern;
    const std::string tool = FLOWBALL_RENDER_TOOL;

    const std::string good = "'" + tool + "' --monitors 96x72+0+0,64x48+96+0 --start-ms 20000 --quiet --out '" +
                             scratch + "/two' >/dev/null 2>&1 </dev/null";
    int status = std::system(good.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::string error;
    ASSERT_TRUE(readPng(scratch + "/two/frame-00001.png", width, height, rgb, error)) << error;
    EXPECT_EQ(width, 160);
    EXPECT_EQ(height, 72);
    // readPng gives rows top first: rows 48 to 71 under the right monitor.
    int lit = 0;
    for (int y = 48; y < 72; ++y)
        for (int x = 96; x < 160; ++x)
            for (int c = 0; c < 3; ++c)
                lit += rgb[(std::size_t(y) * 160 + std::size_t(x)) * 3 + std::size_t(c)] != 0;
    EXPECT_EQ(lit, 0);

    const std::string log = scratch + "/bad.log";
    const std::string bad = "'" + tool + "' --monitors 96x72+0 --out '" + scratch + "/bad' >'" + log + "' 2>&1";
    status = std::system(bad.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    std::FILE* file = std::fopen(log.c_str(), "r");
    ASSERT_NE(file, nullptr);
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, file), nullptr);
    std::fclose(file);
    EXPECT_NE(std::string(line).find("flowball-render: --monitors wants"), std::string::npos) << line;

    EXPECT_EQ(std::system(("rm -rf '" + scratch + "'").c_str()), 0);
}

}  // namespace
