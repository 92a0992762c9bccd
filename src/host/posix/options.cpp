#include "host/posix/options.h"

#include "settings/idle_time.h"
#include "settings/setting_options.h"

namespace {

// The host's own option codes, below the settings' codes.
enum OptionCode {
    optionRoot = 1000,
    optionWindowId,
    optionWayland,
    optionX11,
    optionFps,
    optionIdleAfter,
    optionHelp,
};

const option hostOptionTable[] = {
    {"root", no_argument, nullptr, optionRoot},
    {"window-id", required_argument, nullptr, optionWindowId},
    {"wayland", no_argument, nullptr, optionWayland},
    {"x11", no_argument, nullptr, optionX11},
    {"fps", no_argument, nullptr, optionFps},
    {"idle-after", required_argument, nullptr, optionIdleAfter},
    {"help", no_argument, nullptr, optionHelp},
    {"h", no_argument, nullptr, optionHelp},
};
constexpr int hostOptionCount = int(sizeof hostOptionTable / sizeof hostOptionTable[0]);
static_assert(optionHelp < settingOptionCodeBase, "host option codes must stay below the settings' codes");

}  // namespace

bool parseWindowId(const char* text, std::uint32_t& id)
{
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0')
        return false;
    std::uint64_t value = 0;
    for (; *text != '\0'; ++text) {
        int digit = 0;
        if (*text >= '0' && *text <= '9')
            digit = *text - '0';
        else if (base == 16 && *text >= 'a' && *text <= 'f')
            digit = *text - 'a' + 10;
        else if (base == 16 && *text >= 'A' && *text <= 'F')
            digit = *text - 'A' + 10;
        else
            return false;
        value = value * std::uint64_t(base) + std::uint64_t(digit);
        if (value > 0xFFFFFFFFu)
            return false;
    }
    if (value == 0)
        return false;
    id = std::uint32_t(value);
    return true;
}

bool parseHostOptions(int argc, char* const* argv, const char* environmentWindow, HostOptions& options,
                      std::string& error)
{
    bool rootGiven = false;
    bool windowGiven = false;
    const auto takeHostOption = [&](int code, const char* value, std::string& message) {
        switch (code) {
        case optionRoot:
            rootGiven = true;
            return OptionUse::taken;
        case optionWindowId:
            if (!parseWindowId(value, options.windowId)) {
                message = "--window-id wants a window id, decimal or 0x hexadecimal, not 0 (got " +
                          quotedArgument(value) + ")";
                return OptionUse::refused;
            }
            windowGiven = true;
            return OptionUse::taken;
        case optionWayland:
        case optionX11: {
            const DisplayRequest asked = code == optionWayland ? DisplayRequest::wayland : DisplayRequest::x11;
            if (options.display != DisplayRequest::any && options.display != asked) {
                message = "--wayland and --x11 exclude each other";
                return OptionUse::refused;
            }
            options.display = asked;
            return OptionUse::taken;
        }
        case optionFps:
            options.showFps = true;
            return OptionUse::taken;
        case optionIdleAfter:
            if (!parseIdleTime(value, options.idleAfterMilliseconds)) {
                message = "--idle-after wants a time from 1s to 24h: seconds (90) or with a unit (90s, 5m, 1h) (got " +
                          quotedArgument(value) + ")";
                return OptionUse::refused;
            }
            return OptionUse::taken;
        case optionHelp:
            options.help = true;
            return OptionUse::taken;
        default:
            return OptionUse::notOwn;
        }
    };
    if (!parseCommandLine(argc, argv, hostOptionTable, hostOptionCount, options.settings, takeHostOption, error))
        return false;
    if (options.help)
        return true;
    if (options.display == DisplayRequest::wayland &&
        (rootGiven || windowGiven || (environmentWindow != nullptr && environmentWindow[0] != '\0'))) {
        error = "--wayland covers the outputs itself: it takes no X window (--root, --window-id or "
                "XSCREENSAVER_WINDOW)";
        return false;
    }
    // The watcher starts the saver on Wayland itself; it draws in no X window.
    if (options.idleAfterMilliseconds != 0) {
        if (rootGiven || windowGiven || options.display == DisplayRequest::x11) {
            error = std::string("--idle-after takes no ") +
                    (windowGiven ? "--window-id" : rootGiven ? "--root" : "--x11") +
                    ": it shows the saver on every output of a Wayland desktop itself";
            return false;
        }
        return true;
    }
    // An explicit window wins over --root, as it does for the daemon's own
    // modes: its settings program keeps a mode's -root and adds
    // --window-id for the preview pane.
    if (windowGiven) {
        options.mode = HostMode::givenWindow;
        return true;
    }
    // A screen-saver daemon covers the screen with a window of its own and
    // names it here; that window stands in for the root, so it wins over
    // --root too.
    if (environmentWindow != nullptr && environmentWindow[0] != '\0') {
        if (!parseWindowId(environmentWindow, options.windowId)) {
            error = "XSCREENSAVER_WINDOW holds no window id (got " + quotedArgument(environmentWindow) + ")";
            return false;
        }
        options.mode = HostMode::givenWindow;
    } else if (rootGiven) {
        options.mode = HostMode::rootWindow;
    }
    return true;
}

std::string hostUsage()
{
    return std::string("Usage: flowball [options]\n"
           "Draws Flowball's scene with OpenGL. On a Wayland desktop it covers every\n"
           "output until any input; on an X display it draws in its own window, on the\n"
           "root window, or in a window that a screen-saver daemon hands over. Without\n"
           "--root, --window-id or XSCREENSAVER_WINDOW it runs on Wayland when the\n"
           "compositor that WAYLAND_DISPLAY names answers, else on X11. Every option\n"
           "takes one dash or two (-root is --root) and is written in full.\n"
           "\n"
           "  --wayland           run on Wayland (WAYLAND_DISPLAY), full screen on every\n"
           "                      output\n"
           "  --x11               run on the X display (DISPLAY), even on a Wayland\n"
           "                      desktop\n"
           "  --root              draw on the root window\n"
           "  --window-id ID      draw into the existing window ID (decimal or 0x hex);\n"
           "                      it wins over --root and XSCREENSAVER_WINDOW\n"
           "  --fps               show the frames per second in the top left corner\n"
           "  --idle-after TIME   stay in the background of a Wayland session and show\n"
           "                      the saver on every output after TIME without input:\n"
           "                      seconds (90) or with a unit (90s, 5m, 1h)\n"
           "  -h, --help          this text\n"
           "\n"
           "Settings (a frame-rate of display paces the frames by the display where the\n"
           "driver offers it, else as timer):\n") +
           settingOptionsHelp() +
           "\n"
           "When the environment variable XSCREENSAVER_WINDOW names a window (decimal or\n"
           "0x hex), as a screen-saver daemon does, the program draws there, with or\n"
           "without --root; only --window-id wins over it.\n"
           "\n"
           "On Wayland any key, button, touch or pointer movement ends the program; it\n"
           "never keeps the desktop from idling, locking or turning the screens off.\n"
           "In its own X window, Escape, q or the window's close button ends it.\n"
           "SIGTERM, SIGINT and SIGHUP end it in every mode, within a second, and it\n"
           "dies by that signal: after the current frame it releases the display first;\n"
           "held by a display that does not answer, it dies without that.\n"
           "Exit status: 0 when ended by input, the close button or the destruction of\n"
           "the window it draws in, 1 when no display answers, the display or OpenGL\n"
           "fails, the display goes away or the display reports an error, 2 for a bad\n"
           "command line.\n";
}
