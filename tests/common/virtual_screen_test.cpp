#include "host/windows/virtual_screen.h"

#include <gtest/gtest.h>

namespace {

struct ScreenCase {
    const char* what;
    int left, top, width, height;  // the system's metrics
    ScreenRect expected;
};

TEST(VirtualScreen, MetricsWhereTheSystemHasThemElseTheClipBox)
{
    const ScreenRect clipBox = {0, 0, 1024, 768};
    const ScreenCase cases[] = {
        {"one monitor", 0, 0, 1920, 1080, {0, 0, 1920, 1080}},
        {"three 4K monitors", 0, 0, 11520, 2160, {0, 0, 11520, 2160}},
        {"a monitor left of and above the primary", -1280, -200, 3200, 1280, {-1280, -200, 1920, 1080}},
        {"no metrics (95, NT 4)", 0, 0, 0, 0, clipBox},
        {"a width but no height", 0, 0, 1920, 0, clipBox},
        {"a negative size", 0, 0, -5, 600, clipBox},
        {"beyond the int range", 2000000000, 0, 2000000000, 600, clipBox},
    };
    for (const ScreenCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenRect bounds = virtualScreenFromMetrics(c.left, c.top, c.width, c.height, clipBox);
        EXPECT_EQ(bounds.left, c.expected.left);
        EXPECT_EQ(bounds.top, c.expected.top);
        EXPECT_EQ(bounds.right, c.expected.right);
        EXPECT_EQ(bounds.bottom, c.expected.bottom);
    }
}

}  // namespace
