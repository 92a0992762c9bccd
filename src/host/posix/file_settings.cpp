#include "host/posix/file_settings.h"

#include <cstdio>
#include <cstdlib>

std::string userSettingsFilePath()
{
    return settingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

SettingsFileContents readSettingsFileReporting(const std::string& path)
{
    if (path.empty())
        return SettingsFileContents();
    const SettingsFileContents contents = readSettingsFile(path);
    for (const SettingsFileProblem& problem : contents.problems)
        std::fprintf(stderr, "%s\n", describeProblem(path, problem).c_str());
    return contents;
}

void settleWithUserSettingsFile(HostOptions& options)
{
    const SettingsFileContents file =
        options.settingsFile ? readSettingsFileReporting(userSettingsFilePath()) : SettingsFileContents();
    settleWithSettingsFile(options, file);
}
