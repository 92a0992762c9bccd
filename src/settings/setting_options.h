// The settings as command-line options, for programs that read their command
// line with the C library's getopt_long_only (which takes "-speed 200",
// "--speed 200" and "--speed=200" alike). Every setting has an option named
// in the settings table: switches are "--stars" (on) and "--no-stars" (off)
// and take no value; the others take one value:
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
// A program adds its own options beside the settings':
//
//   const option hostOptions[] = {
//       {"root", no_argument, nullptr, 'r'},
//       {"window-id", required_argument, nullptr, 'w'},
//   };
//   SettingOptions settingOptions(hostOptions, 2);
//   Settings settings;
//   std::string error;
//   int code;
//   while ((code = getopt_long_only(argc, argv, "+:", settingOptions.longOptions(), nullptr)) != -1) {
//       if (settingOptions.owns(code)) {
//           if (!settingOptions.apply(code, optarg, settings, error))
//               ... print error, exit 2
//       } else switch (code) {
//           case 'r': ...  // the program's own options
//       }
//   }
//
// and prints settingOptionsHelp() in its --help text. The program's own
// options must use `val` codes below settingOptionCodeBase (any character
// does) and names the settings do not use.
#pragma once

#include <getopt.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings.h"

// Codes from here up are the settings' own: 2 per table row, the on form and
// then a switch's off form.
constexpr int settingOptionCodeBase = 0x1000;

class SettingOptions {
public:
    virtual ~SettingOptions() = default;

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

// Parses text as a value of the setting (see the header comment for each
// kind's form) and validates it. False when the text is malformed or the
// value is not one the setting uses as it stands.
bool parseSettingText(const SettingInfo& info, const char* text, std::int32_t& value);

// What the setting's option takes, for messages: "a whole number from 25 to
// 400", "one of timer, display, low or 0 to 2".
std::string settingValueDescription(const SettingInfo& info);

// The settings' part of a --help text: one or more lines per setting, each
// ending with a newline, options indented by two spaces.
std::string settingOptionsHelp();
