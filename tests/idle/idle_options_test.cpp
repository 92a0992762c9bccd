// --idle-after on the program's command line: the watcher takes the
// settings as the saver does, and no X window.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/posix/options.h"
#include "support/host_options_parse.h"

namespace {

using Parsed = ParsedHostOptions;

Parsed parse(std::vector<std::string> arguments, const char* environmentWindow = nullptr)
{
    return parseHostCommandLine(std::move(arguments), environmentWindow);
}

}  // namespace

TEST(IdleOptions, TheWatcherTakesItsTimeAndTheSettings)
{
    const struct {
        std::vector<std::string> arguments;
        const char* environmentWindow;
        std::uint32_t milliseconds;
    } cases[] = {
        {{"--idle-after", "5m"}, nullptr, 300000},
        {{"-idle-after", "90"}, nullptr, 90000},
        {{"--idle-after=1h", "--speed", "150"}, nullptr, 3600000},
        {{"--wayland", "--idle-after", "2"}, nullptr, 2000},
        // The daemon's window is not the watcher's business: it draws none.
        {{"--idle-after", "2s"}, "0x600002", 2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
        const Parsed parsed = parse(c.arguments, c.environmentWindow);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.options.idleAfterMilliseconds, c.milliseconds);
        EXPECT_EQ(parsed.options.mode, HostMode::ownWindow);
    }
    const Parsed withSettings = parse({"--idle-after=1h", "--speed", "150", "--stars", "--fps"});
    ASSERT_TRUE(withSettings.ok) << withSettings.error;
    EXPECT_EQ(withSettings.options.settings.speed, 150);
    EXPECT_EQ(withSettings.options.settings.stars, 1);
    EXPECT_TRUE(withSettings.options.showFps);
    EXPECT_EQ(parse({}).options.idleAfterMilliseconds, 0u) << "without it the program draws now";
}

TEST(IdleOptions, RefusesABadTimeAndAnyXWindow)
{
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"--idle-after", "0"}, "--idle-after wants a time from 1s to 24h"},
        {{"--idle-after", "5 min"}, "(got '5 min')"},
        {{"--idle-after"}, "idle-after"},
        {{"--idle-after", "5m", "--root"}, "--idle-after takes no --root"},
        {{"--idle-after", "5m", "--window-id", "0x400007"}, "--idle-after takes no --window-id"},
        {{"--x11", "--idle-after", "5m"}, "--idle-after takes no --x11"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Parsed parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.ok);
        EXPECT_NE(parsed.error.find(c.message), std::string::npos) << parsed.error;
    }
}
