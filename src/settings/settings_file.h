// The settings file of the Linux programs: $XDG_CONFIG_HOME/flowball/flowball.conf
// (~/.config/flowball/flowball.conf when XDG_CONFIG_HOME is unset, empty or
// not an absolute path). Every Linux mode reads it; an option on the command
// line wins over it.
//
// A small key file, UTF-8 text, one setting a line:
//
//   # The ball in blue, a little faster.
//   colour=3366FF
//   speed=150
//   stars=true
//   idle-after=10m
//
// The keys are the settings' option names from the settings table, plus the
// idle watcher's idle-after (the time of "flowball --idle", which a running
// watcher follows within a second); a value takes the form its option takes
// on the command line (settings/setting_options.h, settings/idle_time.h), and
// a switch also true/false, on/off, yes/no or 1/0. Spaces and tabs around a key
// and a value do not count; keys are case-insensitive; '#' starts a comment
// line; blank lines, a missing last newline, CRLF line ends and a UTF-8 byte
// order mark are all fine.
//
// A line that is wrong (an unknown key, a value out of range or of the wrong
// kind, not key=value, not UTF-8) is one problem with its line number; its key
// keeps the default and the rest of the file still counts. A key given twice:
// the last line counts, and the earlier one is a problem that says so.
//
// Writing keeps what the file holds that this program does not know (unknown
// keys, comments, lines it could not read) and never replaces a file that
// exists but could not be read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings.h"

// The key of the idle watcher's time (the --idle-after option's name).
constexpr const char* idleAfterKey = "idle-after";

struct SettingsFileProblem {
    int line;          // 1-based; 0 = the file as a whole (unreadable, a folder, too large)
    std::string what;  // one line, controls escaped: "unknown key 'foo'"
};

enum class SettingsFileState {
    missing,     // no file (or no folder): the defaults
    read,        // read; problems may still name lines that did not count
    unreadable,  // there, but not readable as a file: the defaults, and never replaced
};

struct SettingsFileContents {
    SettingsFileState state = SettingsFileState::missing;
    Settings settings;                        // the defaults, with the file's good values over them
    std::uint32_t idleAfterMilliseconds = 0;  // 0: not in the file (or not a good value)
    std::vector<SettingsFileProblem> problems;
};

// The path from the environment's values (either may be nullptr); "" when
// neither gives one (no XDG_CONFIG_HOME to use and no absolute HOME).
std::string settingsFilePath(const char* xdgConfigHome, const char* home);

// Pure: the settings a file's text gives, and its problems in line order.
// state is read.
SettingsFileContents parseSettingsText(const std::string& text);

// Reads the file at path. A missing file or folder is state missing with
// the defaults; a folder in its place, a file that is not a regular file,
// that cannot be opened or read, or is larger than any settings file is
// state unreadable with one problem on line 0.
SettingsFileContents readSettingsFile(const std::string& path);

// One line for stderr or a window: "PATH:LINE: WHAT" ("PATH: WHAT" for line
// 0), controls escaped as \xNN (escapedControlBytes).
std::string describeProblem(const std::string& path, const SettingsFileProblem& problem);

// Pure: oldText with every setting's key and idle-after set to the values
// given. The last line of a key is replaced by "key=value" in place, its
// earlier lines (which no longer count) are dropped, and a key not in the
// text is added at the end in the table's order. An idleAfterMilliseconds of
// 0 removes idle-after's lines. Unknown keys, comments, blank lines and lines
// that are not key=value stay as they were. The values must be ones the
// settings use (isValidSettingValue) and the idle time whole seconds in its
// range, or 0, for the text to read back the same.
std::string updatedSettingsText(const std::string& oldText, const Settings& settings,
                                std::uint32_t idleAfterMilliseconds);

// Writes the settings into the file at path, keeping the rest of what it
// holds (updatedSettingsText): atomically, through a temporary in the same
// folder, flushed with fsync and renamed over the old; a file reached through
// a symbolic link is written where the link points. Creates the missing
// folders. Returns false with a one-line message in error, leaving the old
// file as it was and no temporary behind, when any step fails, when the
// values are not ones the file can hold, or when the file exists but could
// not be read.
bool writeSettingsFile(const std::string& path, const Settings& settings, std::uint32_t idleAfterMilliseconds,
                       std::string& error);
