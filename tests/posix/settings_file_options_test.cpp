// The settings file under the command line: a setting the command line
// gives wins, the others come from the file, and --no-settings-file leaves
// the file out (the X11 saver daemon's settings page passes it).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/posix/options.h"
#include "support/host_options_parse.h"

namespace {

const char* const fileText = "speed=150\nstars=true\ncolour=3366FF\nidle-after=10m\n";

HostOptions settled(std::vector<std::string> arguments, const std::string& text = fileText)
{
    ParsedHostOptions parsed = parseHostCommandLine(std::move(arguments));
    EXPECT_TRUE(parsed.ok) << parsed.error;
    settleWithSettingsFile(parsed.options, parseSettingsText(text));
    return parsed.options;
}

}  // namespace

TEST(SettingsFileOptions, TheCommandLineWinsOverTheFile)
{
    const HostOptions options = settled({"--speed", "200", "--no-stars", "--fog"});
    EXPECT_EQ(options.settings.speed, 200);
    EXPECT_EQ(options.settings.stars, 0);
    EXPECT_EQ(options.settings.fog, 1);
    EXPECT_EQ(options.settings.colour, 0x3366FF) << "a setting the command line left comes from the file";
    EXPECT_EQ(options.settings.texture, Settings().texture);
    // Given at its default, a setting still wins.
    EXPECT_EQ(settled({"--speed=100"}).settings.speed, 100);
    // The file's idle-after alone starts no watcher.
    EXPECT_EQ(settled({}).idleAfterMilliseconds, 0u);
}

TEST(SettingsFileOptions, NoSettingsFileTakesTheCommandLineAlone)
{
    const HostOptions options = settled({"-root", "-no-settings-file", "-texture", "SMOKE"});
    EXPECT_EQ(options.mode, HostMode::rootWindow);
    EXPECT_FALSE(options.settingsFile);
    Settings expected;
    expected.texture = 3;
    for (int row = 0; row < settingCount; ++row) {
        SCOPED_TRACE(settingTable[row].optionName);
        EXPECT_EQ(options.settings.*settingTable[row].field, expected.*settingTable[row].field);
    }
}

TEST(SettingsFileOptions, IdleTakesTheFilesTimeUnlessTheCommandLineGivesOne)
{
    const struct {
        std::vector<std::string> arguments;
        std::string text;
        std::uint32_t milliseconds;
        bool followsFile;
    } cases[] = {
        {{"--idle"}, fileText, 600000, true},
        {{"--idle"}, "speed=150\n", defaultIdleMilliseconds, true},
        {{"--idle"}, "idle-after=soon\n", defaultIdleMilliseconds, true},
        {{"--idle", "--idle-after", "5m"}, fileText, 300000, false},
        {{"--idle-after=5m", "--idle"}, fileText, 300000, false},
        {{"--idle", "--no-settings-file"}, fileText, defaultIdleMilliseconds, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.text);
        const HostOptions options = settled(c.arguments, c.text);
        EXPECT_EQ(options.idleAfterMilliseconds, c.milliseconds);
        EXPECT_EQ(options.idleTimeFromFile && options.settingsFile, c.followsFile);
    }
    const ParsedHostOptions withRoot = parseHostCommandLine({"--idle", "--root"});
    EXPECT_FALSE(withRoot.ok);
    EXPECT_NE(withRoot.error.find("--idle takes no --root"), std::string::npos) << withRoot.error;
}

TEST(SettingsFileOptions, HelpNamesTheFileAndItsOptions)
{
    const std::string help = hostUsage();
    for (const char* text : {"--no-settings-file", "--idle ", "~/.config/flowball/flowball.conf"})
        EXPECT_NE(help.find(text), std::string::npos) << text;
}
