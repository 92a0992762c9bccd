// The settings as command-line options, and the one parser of every program's
// command line. Every setting has an option named in the settings table:
// switches are "--stars" (on) and "--no-stars" (off) and take no value; the
// others take one value:
//
//   --texture NAME     a texture name (case-insensitive) or its kind number
//   --colour RRGGBB    six hex digits, optionally after '#'
//   --speed N          a decimal whole number in the setting's range
//   --frame-rate NAME  a choice's name (case-insensitive) or its number
//
// A value is strict: anything the setting would not use as it stands (out of
// range, malformed) is refused with a message that names the option and what
// it takes. Lenient readers (the registry) use checkSetting instead.
//
// The command line: options take one dash or two ("-speed 200", "--speed 200"
// and "--speed=200" alike) and are written in full. A shortened name is
// refused, although getopt would take it: an old command line (a saver
// daemon's list, a script) must not change meaning when a later option shares
// its beginning. A program adds only its own rows:
//
//   const option ownOptions[] = {
//       {"root", no_argument, nullptr, 'r'},
//       {"window-id", required_argument, nullptr, 'w'},
//   };
//   Settings settings;
//   std::string error;
//   const bool ok = parseCommandLine(argc, argv, ownOptions, 2, settings,
//       [&](int code, const char* value, std::string& error) {
//           switch (code) {
//           case 'r': ...; return OptionUse::taken;
//           ...
//           }
//           return OptionUse::notOwn;
//       }, error);
//
// and prints settingOptionsHelp() in its --help text. The program's own
// options must use `val` codes below settingOptionCodeBase (any character
// does) and names the settings do not use.
#pragma once

#include <getopt.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/settings.h"

// Codes from here up are the settings' own: 2 per table row, the on form and
// then a switch's off form.
constexpr int settingOptionCodeBase = 0x1000;

class SettingOptions {
public:
    // The program's own rows (without the terminating zero row) first, then
    // the settings' rows and the zero row.
    SettingOptions(const option* hostOptions, int hostOptionCount);

    // The array for getopt_long_only, valid while this object lives.
    const option* longOptions() const { return options.data(); }

    // Whether getopt_long_only's return code is one of the settings'.
    bool owns(int code) const;

    // Takes one parsed option (code and getopt's optarg) into settings.
    // Returns false with the message in error (no program name, no trailing
    // newline) when the value is refused, or the code is not one of the
    // settings'; settings is then unchanged.
    bool apply(int code, const char* argument, Settings& settings, std::string& error) const;

private:
    std::vector<option> options;
};

// What a program's handler did with one of the options it was offered.
enum class OptionUse {
    taken,    // the option was the program's, and its value was good
    refused,  // the program's, but its value was not: the handler wrote the message
    notOwn,   // not the program's: a setting's option is then applied to the settings
};

// Called for every option, with the row's code and the value (nullptr when the
// option takes none). A handler that returns notOwn for a setting's code lets
// the settings take it; it may take a setting's code itself where a value
// means something more to the program.
using ProgramOptionHandler = std::function<OptionUse(int code, const char* value, std::string& error)>;

// Reads argv[1..argc-1]: the program's own rows and every setting's, by their
// full names. Settings go into settings, the program's own options to
// handleOption. Returns false with a one-line message in error (no program
// name, no newline) on the first problem: an unknown or shortened name, a
// missing value, a value for an option that takes none, a refused value or an
// argument that is not an option. Each call starts a fresh scan.
bool parseCommandLine(int argc, const char* const* argv, const option* programOptions, int programOptionCount,
                      Settings& settings, const ProgramOptionHandler& handleOption, std::string& error);

// Parses text as a value of the setting (see the header comment for each
// kind's form) and validates it. False when the text is malformed or the
// value is not one the setting uses as it stands.
bool parseSettingText(const SettingInfo& info, const char* text, std::int32_t& value);

// What the setting's option takes, for messages: "a whole number from 25 to
// 400", "one of timer, display, low or 0 to 2".
std::string settingValueDescription(const SettingInfo& info);

// An argument as a message shows it: in single quotes, every control
// written as \xNN byte by byte, so that the message stays one line and sends
// no terminal codes, whatever a command line or the environment held. The
// controls are the bytes below 0x20, 0x7F and 0x80 to 0x9F, and U+0080 to
// U+009F in UTF-8; every other UTF-8 character stands as it is.
std::string quotedArgument(const std::string& text);

// The settings' part of a --help text: one or more lines per setting, each
// ending with a newline, options indented by two spaces.
std::string settingOptionsHelp();
