// The command line that the idle watcher starts the saver with: this same
// program, on Wayland, with the settings the watcher's command line gave.
// The saver reads the settings file itself, as it stands when it starts, so
// that a change to the file shows at the next idle; the watcher's own
// options win over the file there as they do in the watcher.
#pragma once

#include <string>
#include <vector>

#include "host/posix/options.h"

// One option per given setting (given by the settings table's row), in the
// table's order, each as "--name=value" ("--speed=150", "--colour=FFCC00",
// "--texture=FOG") or a switch's on or off form ("--stars", "--no-stars"):
// what parseHostOptions reads back as these settings.
std::vector<std::string> settingArguments(const Settings& settings, const std::vector<bool>& given);

// program, then --wayland, --fps when asked, --no-settings-file when the
// watcher has it, and settingArguments of the settings its command line
// gave.
std::vector<std::string> saverCommand(const std::string& program, const HostOptions& options);
