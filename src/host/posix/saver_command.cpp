#include "host/posix/saver_command.h"

#include "settings/setting_options.h"

std::vector<std::string> settingArguments(const Settings& settings, const std::vector<bool>& given)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < settingCount; ++i) {
        if (!given[std::size_t(i)])
            continue;
        const SettingInfo& info = settingTable[i];
        const std::int32_t value = settings.*info.field;
        if (info.kind == SettingKind::Switch)
            arguments.push_back(std::string("--") + (value != 0 ? info.optionName : info.offOptionName));
        else
            arguments.push_back(std::string("--") + info.optionName + "=" + settingValueText(info, value));
    }
    return arguments;
}

std::vector<std::string> saverCommand(const std::string& program, const HostOptions& options)
{
    std::vector<std::string> command = {program, "--wayland"};
    if (options.showFps)
        command.push_back("--fps");
    if (!options.settingsFile)
        command.push_back("--no-settings-file");
    for (std::string& argument : settingArguments(options.settings, options.settingsGiven))
        command.push_back(std::move(argument));
    return command;
}
