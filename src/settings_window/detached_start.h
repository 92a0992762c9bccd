// Starting a program that belongs to no one here: the saver's full-screen
// preview and the idle watcher outlive the settings window, and the window
// leaves no process for anyone to reap.
#pragma once

#include <string>
#include <vector>

// Starts command[0] (searched on PATH when it has no slash) with the rest as
// its arguments; false with a sentence in error when it cannot be started.
bool startDetached(const std::vector<std::string>& command, std::string& error);
