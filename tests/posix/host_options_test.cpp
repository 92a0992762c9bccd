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

TEST(HostOptions, NoOptionOpensItsOwnWindowAtTheDesignedRate)
{
    const Parsed parsed = parse({});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.mode, HostMode::ownWindow);
    EXPECT_FALSE(parsed.options.showFps);
    EXPECT_EQ(parsed.options.settings.frameRate, 0);
    EXPECT_EQ(parsed.options.settings.speed, Settings().speed);
    EXPECT_FALSE(parsed.options.help);
}

struct ModeCase {
    std::vector<std::string> arguments;
    const char* environmentWindow;
    HostMode mode;
    std::uint32_t windowId;
};

TEST(HostOptions, ModesFromOptionsAndEnvironment)
{
    const ModeCase cases[] = {
        {{"-root"}, nullptr, HostMode::rootWindow, 0},
        {{"--root"}, nullptr, HostMode::rootWindow, 0},
        {{"-window-id", "4194311"}, nullptr, HostMode::givenWindow, 4194311},
        {{"--window-id", "0x400007"}, nullptr, HostMode::givenWindow, 0x400007},
        {{"--window-id=0X1fFfFfFf"}, nullptr, HostMode::givenWindow, 0x1FFFFFFF},
        {{"-window-id", "4294967295"}, nullptr, HostMode::givenWindow, 0xFFFFFFFFu},
        {{}, "0x600002", HostMode::givenWindow, 0x600002},
        {{}, "6291458", HostMode::givenWindow, 6291458},
        // An empty variable is no window; an option wins over the variable.
        {{}, "", HostMode::ownWindow, 0},
        // The daemon's window stands in for the root; an explicit window id
        // wins over the variable, which is then not read at all.
        {{"-root"}, "0x600002", HostMode::givenWindow, 0x600002},
        {{"-window-id", "77"}, "0x600002", HostMode::givenWindow, 77},
        {{"-window-id", "77"}, "garbage", HostMode::givenWindow, 77},
        // The daemon's settings program previews a mode with the command line
        // it keeps (-root from the mode's description) and the pane's window
        // added: the window wins, in either order and over the variable too.
        {{"-root", "--window-id", "0x401E93"}, nullptr, HostMode::givenWindow, 0x401E93},
        {{"--window-id", "0x401E93", "-root"}, nullptr, HostMode::givenWindow, 0x401E93},
        {{"-root", "--window-id", "0x401E93"}, "0x600002", HostMode::givenWindow, 0x401E93},
    };
    for (const ModeCase& modeCase : cases) {
        const Parsed parsed = parse(modeCase.arguments, modeCase.environmentWindow);
        SCOPED_TRACE(modeCase.arguments.empty() ? std::string("(none)") : modeCase.arguments[0]);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.options.mode, modeCase.mode);
        if (modeCase.mode == HostMode::givenWindow) {
            EXPECT_EQ(parsed.options.windowId, modeCase.windowId);
        }
    }
}

TEST(HostOptions, FpsAndHelpInBothForms)
{
    EXPECT_TRUE(parse({"-fps"}).options.showFps);
    EXPECT_TRUE(parse({"--fps"}).options.showFps);
    EXPECT_TRUE(parse({"-help"}).options.help);
    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_TRUE(parse({"-h"}).options.help);
}

struct ErrorCase {
    std::vector<std::string> arguments;
    const char* environmentWindow;
    const char* named;  // what the message must name
};

TEST(HostOptions, BadCommandLinesNameTheirFault)
{
    const ErrorCase cases[] = {
        {{"--bogus"}, nullptr, "'--bogus'"},
        {{"-x"}, nullptr, "'-x'"},
        {{"-xyz"}, nullptr, "'-xyz'"},
        {{"stray"}, nullptr, "'stray'"},
        {{"-root", "stray"}, nullptr, "'stray'"},
        {{"-window-id"}, nullptr, "--window-id needs a value"},
        {{"-frame-rate"}, nullptr, "--frame-rate needs a value"},
        {{"-speed"}, nullptr, "--speed needs a value"},
        {{"-window-id", "0"}, nullptr, "--window-id"},
        {{"-window-id", "0x"}, nullptr, "--window-id"},
        {{"-window-id", "-5"}, nullptr, "--window-id"},
        {{"-window-id", "12abc"}, nullptr, "--window-id"},
        {{"-window-id", "0x1G"}, nullptr, "--window-id"},
        {{"-window-id", "4294967296"}, nullptr, "--window-id"},
        {{"-window-id", "0x100000000"}, nullptr, "--window-id"},
        {{"-window-id", " 5"}, nullptr, "--window-id"},
        {{"-frame-rate", "3"}, nullptr, "frame-rate"},
        {{"-frame-rate", "fast"}, nullptr, "frame-rate"},
        {{"-speed", "5000"}, nullptr, "speed"},
        {{"--colour", "orange"}, nullptr, "colour"},
        {{"-stars=1"}, nullptr, "'-stars=1'"},
        {{"-fps=1"}, nullptr, "'-fps=1'"},
        {{}, "garbage", "XSCREENSAVER_WINDOW"},
        {{}, "0", "XSCREENSAVER_WINDOW"},
        {{"-root"}, "garbage", "XSCREENSAVER_WINDOW"},
        // Control bytes are shown as codes, the message kept to one line.
        {{}, "12\nab", "XSCREENSAVER_WINDOW holds no window id (got '12\\x0Aab')"},
        {{"-window-id", "\t5"}, nullptr, "(got '\\x095')"},
        {{"--idle-after", "5\nm"}, nullptr, "(got '5\\x0Am')"},
    };
    for (const ErrorCase& errorCase : cases) {
        const Parsed parsed = parse(errorCase.arguments, errorCase.environmentWindow);
        SCOPED_TRACE(errorCase.named);
        EXPECT_FALSE(parsed.ok);
        EXPECT_NE(parsed.error.find(errorCase.named), std::string::npos) << parsed.error;
    }
}

// Every setting is an option beside the host's own, in one table, with one
// dash or two; the host's options and the settings' mix in any order.
TEST(HostOptions, SettingsAreOptionsInTheSameTable)
{
    const Parsed parsed = parse({"-root", "-speed", "150", "--colour=#00ff80", "-no-bars", "--stars", "-fps",
                                 "-frame-rate", "display", "--texture", "check", "-detail", "12"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.mode, HostMode::rootWindow);
    EXPECT_TRUE(parsed.options.showFps);
    const Settings& settings = parsed.options.settings;
    EXPECT_EQ(settings.speed, 150);
    EXPECT_EQ(settings.colour, 0x00FF80);
    EXPECT_EQ(settings.bars, 0);
    EXPECT_EQ(settings.stars, 1);
    EXPECT_EQ(settings.frameRate, 1);
    EXPECT_EQ(settings.detail, 12);
    EXPECT_NE(settings.texture, Settings().texture);
}

TEST(HostOptions, HelpListsTheHostsOptionsAndEverySetting)
{
    const std::string usage = hostUsage();
    for (const char* option : {"-root", "-window-id", "-fps", "-help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    for (int row = 0; row < settingCount; ++row)
        EXPECT_NE(usage.find(settingTable[row].optionName), std::string::npos)
            << settingTable[row].optionName;
}

TEST(HostOptions, ParsingTwiceStartsAfresh)
{
    // getopt keeps its position between calls; each parse must start over.
    ASSERT_FALSE(parse({"-root", "--bogus"}).ok);
    const Parsed again = parse({"-window-id", "9"});
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.options.windowId, 9u);
}

}  // namespace

namespace {

TEST(HostOptions, DisplaySwitches)
{
    const struct {
        std::vector<std::string> arguments;
        const char* environmentWindow;
        bool ok;
        DisplayRequest display;
        const char* error;
    } cases[] = {
        {{}, nullptr, true, DisplayRequest::any, ""},
        {{"--wayland"}, nullptr, true, DisplayRequest::wayland, ""},
        {{"-wayland", "--wayland"}, nullptr, true, DisplayRequest::wayland, ""},
        {{"--x11"}, nullptr, true, DisplayRequest::x11, ""},
        {{"--x11", "--root"}, nullptr, true, DisplayRequest::x11, ""},
        {{"--wayland", "--x11"}, nullptr, false, DisplayRequest::any, "--wayland and --x11 exclude each other"},
        {{"--x11", "--wayland"}, nullptr, false, DisplayRequest::any, "--wayland and --x11 exclude each other"},
        // The X11 daemon's modes are X windows: Wayland cannot draw there.
        {{"--wayland", "--root"}, nullptr, false, DisplayRequest::any, "it takes no X window"},
        {{"--wayland", "--window-id", "7"}, nullptr, false, DisplayRequest::any, "it takes no X window"},
        {{"--wayland"}, "0x600002", false, DisplayRequest::any, "it takes no X window"},
        {{"--wayland"}, "", true, DisplayRequest::wayland, ""},
        {{"--wayland=yes"}, nullptr, false, DisplayRequest::any, "wayland"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const Parsed parsed = parse(c.arguments, c.environmentWindow);
        ASSERT_EQ(parsed.ok, c.ok) << parsed.error;
        if (c.ok)
            EXPECT_EQ(parsed.options.display, c.display);
        else
            EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    }
}

TEST(HostOptions, HelpNamesTheDisplaySwitches)
{
    const std::string usage = hostUsage();
    EXPECT_NE(usage.find("--wayland"), std::string::npos);
    EXPECT_NE(usage.find("--x11"), std::string::npos);
}

}  // namespace
