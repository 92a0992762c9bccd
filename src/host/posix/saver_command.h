// The command line that the idle watcher starts the saver with: this same
// program, on Wayland, with the watcher's settings. Every setting is written
// out, so the saver draws what the watcher was given whatever the settings'
// defaults are when it starts.
#pragma once

#include <string>
#include <vector>

#include "host/posix/options.h"

// One option per setting, in the settings table's order, each as
// "--name=value" ("--speed=150", "--colour=FFCC00", "--texture=fog") or a
// switch's on or off form ("--stars", "--no-stars"): what parseHostOptions
// reads back as these settings.
std::vector<std::string> settingArguments(const Settings& settings);

// program, then --wayland, --fps when asked, and settingArguments.
std::vector<std::string> saverCommand(const std::string& program, const HostOptions& options);
