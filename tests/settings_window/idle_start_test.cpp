#include "settings_window/idle_start.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"

namespace {

struct PathCase {
    const char* xdgConfigHome;
    const char* home;
    const char* expected;
};

TEST(IdleStart, AutostartEntryFollowsXdgConfigHomeElseHome)
{
    const PathCase cases[] = {
        {"/cfg", "/home/ann", "/cfg/autostart/flowball-idle.desktop"},
        {"", "/home/ann", "/home/ann/.config/autostart/flowball-idle.desktop"},
        {"relative/cfg", "/home/ann", "/home/ann/.config/autostart/flowball-idle.desktop"},
        {nullptr, "/home/ann", "/home/ann/.config/autostart/flowball-idle.desktop"},
        {nullptr, "home/ann", ""},
        {nullptr, nullptr, ""},
    };
    for (const PathCase& test : cases)
        EXPECT_EQ(autostartEntryPath(test.xdgConfigHome, test.home), test.expected)
            << (test.xdgConfigHome ? test.xdgConfigHome : "(unset)") << " " << (test.home ? test.home : "(unset)");
}

// The watcher follows the settings file's time, so neither names one.
TEST(IdleStart, EntryAndCommandStartTheWatcherThatFollowsTheFile)
{
    EXPECT_EQ(watcherCommand("/usr/bin/flowball"), (std::vector<std::string>{"/usr/bin/flowball", "--idle"}));
    const std::string entry = autostartEntryText();
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u) << entry;
    EXPECT_NE(entry.find("\nExec=flowball --idle\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos) << entry;
}

struct DesktopCase {
    const char* currentDesktop;
    const char* expected;
};

TEST(IdleStart, OnlyDesktopsWithoutAutostartGetAConfigurationLine)
{
    const DesktopCase cases[] = {
        {"sway", "exec flowball --idle"},
        {"SWAY", "exec flowball --idle"},
        {"wlroots:sway", "exec flowball --idle"},
        {"Hyprland", "exec-once = flowball --idle"},
        {"GNOME", ""},
        {"ubuntu:GNOME", ""},
        {"KDE", ""},
        {"swaywm", ""},
        {"", ""},
        {nullptr, ""},
    };
    for (const DesktopCase& test : cases)
        EXPECT_EQ(configurationLineFor(test.currentDesktop), test.expected)
            << (test.currentDesktop ? test.currentDesktop : "(unset)");
}

struct CommandLineCase {
    std::string arguments;  // NUL-separated, as /proc/PID/cmdline holds them
    bool watcher;
};

TEST(IdleStart, TheWatcherIsFlowballWithTheIdleOption)
{
    using namespace std::string_literals;
    const CommandLineCase cases[] = {
        {"flowball\0--idle\0"s, true},
        {"/usr/bin/flowball\0-idle\0--stars\0"s, true},
        {"flowball\0--idle-after\0003m\0"s, true},
        {"/usr/bin/flowball\0-idle-after=3m\0"s, true},
        {"/usr/libexec/xscreensaver/flowball\0--speed=150\0--idle-after\0005m\0"s, true},
        // The saver a watcher starts: not a watcher itself.
        {"/usr/bin/flowball\0--wayland\0--speed=100\0"s, false},
        {"flowball-settings\0--idle-after\0003m\0"s, false},
        {"python3\0flowball\0--idle-after\0003m\0"s, false},
        {"flowball\0--idle-afterwards\0"s, false},
        {"flowball\0--idler\0"s, false},
        {"flowball\0idle-after\0"s, false},
        {""s, false},
    };
    for (const CommandLineCase& test : cases)
        EXPECT_EQ(isWatcherCommandLine(test.arguments), test.watcher) << test.arguments.c_str();
}

// A window shows every row of the table under its label.
TEST(SettingsTable, EveryRowHasAWindowLabel)
{
    for (int i = 0; i < settingCount; ++i) {
        ASSERT_NE(settingTable[i].label, nullptr) << settingTable[i].storedName;
        EXPECT_NE(settingTable[i].label[0], '\0') << settingTable[i].storedName;
    }
}

}  // namespace
