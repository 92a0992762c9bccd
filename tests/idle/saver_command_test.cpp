// The saver the watcher starts draws with the watcher's settings: its
// command line reads back as them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/posix/options.h"
#include "host/posix/saver_command.h"

namespace {

Settings readBack(const std::vector<std::string>& command)
{
    // The program's name, then what the host's parser takes.
    std::vector<char*> argv;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command[i] != "--wayland")
            argv.push_back(const_cast<char*>(command[i].c_str()));
    }
    argv.push_back(nullptr);
    HostOptions options;
    std::string error;
    EXPECT_TRUE(parseHostOptions(int(argv.size()) - 1, argv.data(), nullptr, options, error)) << error;
    EXPECT_EQ(options.mode, HostMode::ownWindow);
    return options.settings;
}

bool sameSettings(const Settings& a, const Settings& b)
{
    for (int i = 0; i < settingCount; ++i) {
        if (a.*settingTable[i].field != b.*settingTable[i].field)
            return false;
    }
    return true;
}

}  // namespace

TEST(SaverCommand, IsThisProgramOnWaylandWithTheSettingsItWasGiven)
{
    HostOptions options;
    // The rest comes from the settings file, read by the saver when it starts.
    EXPECT_EQ(saverCommand("/usr/bin/flowball", options),
              (std::vector<std::string>{"/usr/bin/flowball", "--wayland"}));
    options.showFps = true;
    options.settingsFile = false;
    options.settings.speed = 150;
    options.settings.stars = 1;
    options.settingsGiven[std::size_t(settingFor(&Settings::stars) - settingTable)] = true;
    EXPECT_EQ(saverCommand("/usr/bin/flowball", options),
              (std::vector<std::string>{"/usr/bin/flowball", "--wayland", "--fps", "--no-settings-file", "--stars"}));
}

TEST(SaverCommand, ReadsBackAsTheWatchersSettings)
{
    std::vector<Settings> cases(1);
    // Each setting away from its default, at both ends of its range, and
    // every named choice.
    for (int i = 0; i < settingCount; ++i) {
        const SettingInfo& info = settingTable[i];
        for (std::int32_t value : {info.minimum, info.maximum}) {
            if (!isValidSettingValue(info, value))
                continue;
            Settings changed;
            changed.*info.field = value;
            cases.push_back(changed);
        }
        for (int c = 0; c < info.choiceCount; ++c) {
            Settings changed;
            changed.*info.field = info.choices[c].value;
            cases.push_back(changed);
        }
    }
    Settings everything;
    everything.colour = 0x0000A0;
    everything.speed = 250;
    everything.stars = 1;
    everything.bars = 0;
    everything.frameRate = std::int32_t(FrameRate::low);
    everything.monitors = std::int32_t(Monitors::span);
    cases.push_back(everything);

    for (const Settings& settings : cases) {
        HostOptions options;
        options.settings = settings;
        options.settingsGiven.assign(std::size_t(settingCount), true);
        const std::vector<std::string> command = saverCommand("/usr/bin/flowball", options);
        std::string written;
        for (const std::string& argument : command)
            written += argument + " ";
        SCOPED_TRACE(written);
        EXPECT_TRUE(sameSettings(readBack(command), settings));
    }
}
