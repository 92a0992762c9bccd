#include "program/display_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int probes = 0;
bool waylandUp()
{
    ++probes;
    return true;
}
bool waylandDown()
{
    ++probes;
    return false;
}

HostOptions parsed(std::vector<std::string> arguments, const char* environmentWindow = nullptr)
{
    arguments.insert(arguments.begin(), "flowball");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    HostOptions options;
    std::string error;
    EXPECT_TRUE(parseHostOptions(int(argv.size()), argv.data(), environmentWindow, options, error)) << error;
    return options;
}

TEST(DisplayChoice, TheDaemonsModesAndTheSwitchesDecideWithoutAskingTheCompositor)
{
    const struct {
        std::vector<std::string> arguments;
        const char* environmentWindow;
        DisplayKind kind;
    } cases[] = {
        {{"--root"}, nullptr, DisplayKind::x11},
        {{"--window-id", "0x400007"}, nullptr, DisplayKind::x11},
        {{}, "0x600002", DisplayKind::x11},
        {{"--root", "--x11"}, nullptr, DisplayKind::x11},
        {{"--x11"}, nullptr, DisplayKind::x11},
        {{"--wayland"}, nullptr, DisplayKind::wayland},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? std::string("XSCREENSAVER_WINDOW") : c.arguments[0]);
        probes = 0;
        // The compositor answers, and nobody names an X display: these
        // choices do not depend on either.
        EXPECT_EQ(chooseDisplay(parsed(c.arguments, c.environmentWindow), waylandUp, nullptr), c.kind);
        EXPECT_EQ(probes, 0);
    }
}

TEST(DisplayChoice, OtherwiseWaylandWhereItAnswersThenX11ThenNeither)
{
    const struct {
        bool (*wayland)();
        const char* x11Display;
        DisplayKind kind;
    } cases[] = {
        {waylandUp, ":0", DisplayKind::wayland},
        {waylandUp, nullptr, DisplayKind::wayland},
        {waylandDown, ":0", DisplayKind::x11},
        {waylandDown, "", DisplayKind::none},
        {waylandDown, nullptr, DisplayKind::none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x11Display != nullptr ? c.x11Display : "(no DISPLAY)");
        probes = 0;
        EXPECT_EQ(chooseDisplay(parsed({}), c.wayland, c.x11Display), c.kind);
        EXPECT_EQ(probes, 1);
    }
}

TEST(DisplayChoice, TheMessageForNoDisplayNamesBoth)
{
    const std::string message = noDisplayMessage();
    EXPECT_NE(message.find("WAYLAND_DISPLAY"), std::string::npos);
    EXPECT_NE(message.find("DISPLAY)"), std::string::npos);
}

}  // namespace
