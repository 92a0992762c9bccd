#include "host/x11/options.h"

#include <getopt.h>

#include <cstring>

namespace {

enum OptionCode { optionRoot = 1000, optionWindowId, optionFps, optionFrameRate, optionHelp };

const option hostOptionTable[] = {
    {"root", no_argument, nullptr, optionRoot},
    {"window-id", required_argument, nullptr, optionWindowId},
    {"fps", no_argument, nullptr, optionFps},
    {"frame-rate", required_argument, nullptr, optionFrameRate},
    {"help", no_argument, nullptr, optionHelp},
    {nullptr, 0, nullptr, 0},
};

const char* optionName(int code)
{
    for (const option* entry = hostOptionTable; entry->name != nullptr; ++entry)
        if (entry->val == code)
            return entry->name;
    return "?";
}

bool parseFrameRate(const char* text, int& frameRate)
{
    static const char* const names[] = {"timer", "display", "30"};
    for (int choice = 0; choice < 3; ++choice) {
        if (std::strcmp(text, names[choice]) == 0 || (text[0] == char('0' + choice) && text[1] == '\0')) {
            frameRate = choice;
            return true;
        }
    }
    return false;
}

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
    // '+': stop at the first argument that is not an option, so that it is
    // reported rather than moved to the end; ':': a missing value is told
    // apart from an unknown option. optind 0 starts a fresh scan.
    optind = 0;
    opterr = 0;
    for (;;) {
        const int code = getopt_long_only(argc, argv, "+:", hostOptionTable, nullptr);
        if (code == -1)
            break;
        switch (code) {
        case optionRoot:
            rootGiven = true;
            break;
        case optionWindowId:
            if (!parseWindowId(optarg, options.windowId)) {
                error = std::string("--window-id wants a window id, decimal or 0x hexadecimal, not 0 (got '") +
                        optarg + "')";
                return false;
            }
            windowGiven = true;
            break;
        case optionFps:
            options.showFps = true;
            break;
        case optionFrameRate:
            if (!parseFrameRate(optarg, options.frameRate)) {
                error = std::string("--frame-rate wants 0 (timer), 1 (display) or 2 (30) (got '") + optarg + "')";
                return false;
            }
            break;
        case optionHelp:
            options.help = true;
            break;
        case ':':
            error = std::string("option --") + optionName(optopt) + " needs a value";
            return false;
        default:
            error = std::string("unknown option '") + argv[optind - 1] + "'";
            return false;
        }
    }
    if (optind < argc) {
        error = std::string("unexpected argument '") + argv[optind] + "'";
        return false;
    }
    if (options.help)
        return true;
    if (rootGiven && windowGiven) {
        error = "--root and --window-id exclude each other: give one";
        return false;
    }
    if (rootGiven) {
        options.mode = HostMode::rootWindow;
    } else if (windowGiven) {
        options.mode = HostMode::givenWindow;
    } else if (environmentWindow != nullptr && environmentWindow[0] != '\0') {
        if (!parseWindowId(environmentWindow, options.windowId)) {
            error = std::string("XSCREENSAVER_WINDOW holds no window id (got '") + environmentWindow + "')";
            return false;
        }
        options.mode = HostMode::givenWindow;
    }
    return true;
}

const char* hostUsage()
{
    return "Usage: flowball [options]\n"
           "Draws Flowball's scene with OpenGL on an X display: in its own window, on the\n"
           "root window, or in a window that a screen-saver daemon hands over.\n"
           "\n"
           "  -root, --root           draw on the root window\n"
           "  -window-id ID           draw into the existing window ID (decimal or 0x hex);\n"
           "                          the XSCREENSAVER_WINDOW environment variable does the\n"
           "                          same when neither this nor -root is given\n"
           "  -fps, --fps             show the frames per second in the top left corner\n"
           "  -frame-rate CHOICE      0 or timer: a frame every 5 ms (default);\n"
           "                          1 or display: in step with the display where the\n"
           "                          driver offers it, else as 0; 2 or 30: at most 30\n"
           "                          frames a second\n"
           "  -help, --help           this text\n"
           "\n"
           "In its own window, Escape, q or the window's close button ends the program;\n"
           "SIGTERM, SIGINT and SIGHUP end it after the current frame, in every mode.\n"
           "Exit status: 0 when ended so or when the window it draws in is destroyed,\n"
           "1 when the display or OpenGL fails or the display goes away, 2 for a bad\n"
           "command line.\n";
}
