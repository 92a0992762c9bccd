// The command line of the Linux program, on X11 and Wayland alike: its own
// options and every setting's, read by the settings' one parser
// (settings/setting_options.h).
// Options take one dash or two (-root and --root alike) and are written in
// full; a value follows its option as the next argument or after '='.
//
// The display: --wayland or --x11 forces one; without them the program draws
// on Wayland where a compositor answers, else on X11 (program/display_choice.h). The
// X11 modes below belong to X11 alone.
//
// The mode: --window-id ID draws into that window, whatever else is given
// (--root or the environment); otherwise the window that
// the XSCREENSAVER_WINDOW environment variable names (a screen-saver daemon
// hands its window over that way, and it stands in for the root with
// --root); otherwise --root draws on the root window; with none of them the
// program opens its own window. Window ids are decimal or 0x hexadecimal.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

enum class HostMode { ownWindow, rootWindow, givenWindow };

// The display the command line asks for: any (Wayland where a compositor
// answers, else X11), or one forced by --wayland or --x11.
enum class DisplayRequest { any, wayland, x11 };

class HostOptions {
public:
    HostMode mode = HostMode::ownWindow;
    DisplayRequest display = DisplayRequest::any;
    // The window to draw into in givenWindow mode.
    std::uint32_t windowId = 0;
    bool showFps = false;
    bool help = false;
    // --idle-after TIME (settings/idle_time.h): watch for idle and show
    // the saver then, instead of drawing now; 0 when not given.
    std::uint32_t idleAfterMilliseconds = 0;
    Settings settings;
};

// A window id as written on the command line or in the environment: decimal
// digits, or 0x / 0X and hexadecimal digits; at least 1, at most 2^32 - 1.
bool parseWindowId(const char* text, std::uint32_t& id);

// Fills options from argv[1..argc-1]; environmentWindow is the value of
// XSCREENSAVER_WINDOW or nullptr when it is not set. Returns false with a
// one-line message in error (no program name, no newline) on the first
// problem. Nothing is read from or written to the display.
bool parseHostOptions(int argc, char* const* argv, const char* environmentWindow, HostOptions& options,
                      std::string& error);

// The --help text, the settings' options included.
std::string hostUsage();
