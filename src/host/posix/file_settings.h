// The settings file as the flowball program reads it: where this user's
// environment puts it, each problem reported on stderr as one line
// "PATH:LINE: what", and its settings put under the command line's.
#pragma once

#include <string>

#include "host/posix/options.h"
#include "settings/settings_file.h"

// From XDG_CONFIG_HOME and HOME; "" when they put it nowhere.
std::string userSettingsFilePath();

// Reads the file at path ("" gives the defaults) and reports its problems.
SettingsFileContents readSettingsFileReporting(const std::string& path);

// At the program's start: the user's settings file (unless
// --no-settings-file) under the command line's settings.
void settleWithUserSettingsFile(HostOptions& options);
