#include "host/posix/saver_command.h"

#include <cstdio>

std::vector<std::string> settingArguments(const Settings& settings)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < settingCount; ++i) {
        const SettingInfo& info = settingTable[i];
        const std::int32_t value = settings.*info.field;
        const std::string option = std::string("--") + info.optionName;
        switch (info.kind) {
        case SettingKind::Switch:
            arguments.push_back(value != 0 ? option : std::string("--") + info.offOptionName);
            break;
        case SettingKind::Colour: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%06X", unsigned(value) & 0xFFFFFFu);
            arguments.push_back(option + "=" + hex);
            break;
        }
        case SettingKind::Texture:
        case SettingKind::Choice:
            if (const SettingChoice* choice = findSettingChoice(info, value)) {
                arguments.push_back(option + "=" + choice->name);
                break;
            }
            arguments.push_back(option + "=" + std::to_string(value));
            break;
        case SettingKind::Number:
            arguments.push_back(option + "=" + std::to_string(value));
            break;
        }
    }
    return arguments;
}

std::vector<std::string> saverCommand(const std::string& program, const HostOptions& options)
{
    std::vector<std::string> command = {program, "--wayland"};
    if (options.showFps)
        command.push_back("--fps");
    for (std::string& argument : settingArguments(options.settings))
        command.push_back(std::move(argument));
    return command;
}
