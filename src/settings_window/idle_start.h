// Turning the idle watcher (flowball --idle) on and off for a user: now, by
// starting or ending the watcher process, and for later logins, by an XDG
// autostart entry, which GNOME, KDE Plasma, MATE, Xfce and Cinnamon start at
// login. sway and Hyprland start no autostart entries: a line in their
// configuration does it there. The watcher takes its time from the settings
// file and follows it, so neither the entry nor the line names one.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// The autostart entry's file: $XDG_CONFIG_HOME/autostart/flowball-idle.desktop
// (~/.config/... when XDG_CONFIG_HOME is unset, empty or relative); "" when
// neither gives a path.
std::string autostartEntryPath(const char* xdgConfigHome, const char* home);

// The watcher's command line: program --idle.
std::vector<std::string> watcherCommand(const std::string& program);

// The autostart entry that starts the watcher at login.
std::string autostartEntryText();

// The desktops that start no autostart entries, by XDG_CURRENT_DESKTOP (a
// colon-separated list, or nullptr): the line their configuration needs to
// start the watcher at login, or "" for desktops that start the entry.
std::string configurationLineFor(const char* currentDesktop);

// Whether a command line (argv as /proc gives it, NUL-separated) is a
// watcher's: a program named flowball with the --idle or --idle-after
// option.
bool isWatcherCommandLine(const std::string& nulSeparatedArguments);

// The watchers this user runs, found in /proc: the one the window started
// and one that a login started alike.
std::vector<pid_t> runningWatchers();

// Writes the entry atomically, creating the folder; false with a sentence in
// error.
bool writeAutostartEntry(const std::string& path, std::string& error);

// Removes the entry; a missing entry is no error.
bool removeAutostartEntry(const std::string& path, std::string& error);

// Starts the watcher detached from this process (it outlives the window);
// false with a sentence in error.
bool startWatcher(const std::string& program, std::string& error);

// Ends every running watcher of this user (SIGTERM); the number ended.
int stopWatchers();
