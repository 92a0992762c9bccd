// The program's command line parsed as main() parses it, for the option
// tests: arguments without the program's name, and the value of
// XSCREENSAVER_WINDOW (nullptr when it is not set).
#pragma once

#include <string>
#include <vector>

#include "host/posix/options.h"

struct ParsedHostOptions {
    bool ok;
    HostOptions options;
    std::string error;
};

inline ParsedHostOptions parseHostCommandLine(std::vector<std::string> arguments,
                                              const char* environmentWindow = nullptr)
{
    arguments.insert(arguments.begin(), "flowball");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ParsedHostOptions parsed;
    parsed.ok = parseHostOptions(int(arguments.size()), argv.data(), environmentWindow, parsed.options,
                                 parsed.error);
    return parsed;
}
