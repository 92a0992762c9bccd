#include "render_options.h"

#include <getopt.h>

#include <charconv>
#include <cstring>

#include "monitor_list.h"
#include "settings/setting_options.h"

namespace {

// The renderer's own options; the settings' follow them.
enum RenderOptionCode {
    optionHelp = 'h',
    optionSize = 0x100,
    optionFrames,
    optionFps,
    optionStartMs,
    optionRealClock,
    optionOut,
    optionAll,
    optionQuiet,
};

const option renderOptionRows[] = {
    {"help", no_argument, nullptr, optionHelp},
    {"h", no_argument, nullptr, optionHelp},
    {"size", required_argument, nullptr, optionSize},
    {"frames", required_argument, nullptr, optionFrames},
    {"fps", required_argument, nullptr, optionFps},
    {"start-ms", required_argument, nullptr, optionStartMs},
    {"real-clock", no_argument, nullptr, optionRealClock},
    {"out", required_argument, nullptr, optionOut},
    {"all", no_argument, nullptr, optionAll},
    {"quiet", no_argument, nullptr, optionQuiet},
};
constexpr int renderOptionCount = int(sizeof renderOptionRows / sizeof renderOptionRows[0]);

// A whole number in [low, high] written with digits only.
template <typename Number>
bool parseWhole(const std::string& text, Number low, Number high, Number& value)
{
    Number parsed = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    const auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool parseSize(const std::string& text, int& width, int& height)
{
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos)
        return false;
    return parseWhole(text.substr(0, cross), 1, renderSideLimit, width) &&
           parseWhole(text.substr(cross + 1), 1, renderSideLimit, height);
}

bool parseRate(const std::string& text, double& fps)
{
    double parsed = 0.0;
    const char* last = text.data() + text.size();
    if (text.empty() || !((text[0] >= '0' && text[0] <= '9') || text[0] == '.'))
        return false;
    const auto result = std::from_chars(text.data(), last, parsed);
    if (result.ec != std::errc() || result.ptr != last || !(parsed >= renderFpsMinimum && parsed <= renderFpsLimit))
        return false;
    fps = parsed;
    return true;
}

// Takes one of the renderer's own options.
bool applyRenderOption(int code, const std::string& value, RenderOptions& options, std::string& error)
{
    switch (code) {
    case optionHelp:
        options.help = true;
        return true;
    case optionRealClock:
        options.realClock = true;
        return true;
    case optionQuiet:
        options.quiet = true;
        return true;
    case optionAll:
        options.settings.stars = options.settings.particles = options.settings.fog = options.settings.underlay =
            options.settings.overlay = 1;
        return true;
    case optionSize:
        if (parseSize(value, options.width, options.height))
            return true;
        error = "--size wants WIDTHxHEIGHT, each a whole number from 1 to " + std::to_string(renderSideLimit) +
                " (got " + quotedArgument(value) + ")";
        return false;
    case optionFrames:
        if (parseWhole(value, 1L, renderFrameLimit, options.frames))
            return true;
        error = "--frames wants a whole number from 1 to " + std::to_string(renderFrameLimit) + " (got " +
                quotedArgument(value) + ")";
        return false;
    case optionFps:
        if (parseRate(value, options.fps))
            return true;
        error = "--fps wants a number from 0.001 to " + std::to_string(int(renderFpsLimit)) + " (got " +
                quotedArgument(value) + ")";
        return false;
    case optionStartMs:
        if (parseWhole(value, std::uint64_t{0}, renderStartLimitMs, options.startMs))
            return true;
        error = "--start-ms wants a whole number of milliseconds from 0 to " + std::to_string(renderStartLimitMs) +
                " (got " + quotedArgument(value) + ")";
        return false;
    case optionOut:
        if (!value.empty()) {
            options.outDir = value;
            return true;
        }
        error = "--out wants a folder name";
        return false;
    default:
        break;
    }
    error = "unknown option";
    return false;
}

// --monitors is the saver's setting (each, span) and, here, the monitors to
// render for too: a value that starts with a digit and holds an 'x' is a
// monitor list.
bool isMonitorsSetting(int code)
{
    const int row = (code - settingOptionCodeBase) / 2;
    return code >= settingOptionCodeBase && row < settingCount && settingTable[row].field == &Settings::monitors;
}

bool isMonitorList(const char* value)
{
    return value != nullptr && *value >= '0' && *value <= '9' && std::strchr(value, 'x') != nullptr;
}

bool applyMonitorList(const char* value, RenderOptions& options, std::string& error)
{
    if (!parseMonitorList(value, renderSideLimit, options.monitors, error))
        return false;
    const ScreenRect bounds = monitorBounds(options.monitors);
    options.width = bounds.right - bounds.left;
    options.height = bounds.bottom - bounds.top;
    return true;
}

}  // namespace

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error)
{
    bool fpsGiven = false;
    bool startGiven = false;
    bool sizeGiven = false;
    const auto takeRenderOption = [&](int code, const char* value, std::string& message) {
        if (isMonitorsSetting(code) && isMonitorList(value))
            return applyMonitorList(value, options, message) ? OptionUse::taken : OptionUse::refused;
        if (code >= settingOptionCodeBase)
            return OptionUse::notOwn;
        sizeGiven = sizeGiven || code == optionSize;
        fpsGiven = fpsGiven || code == optionFps;
        startGiven = startGiven || code == optionStartMs;
        return applyRenderOption(code, value != nullptr ? value : "", options, message) ? OptionUse::taken
                                                                                         : OptionUse::refused;
    };
    if (!parseCommandLine(argc, argv, renderOptionRows, renderOptionCount, options.settings, takeRenderOption,
                          error))
        return false;
    if (options.help)
        return true;
    if (options.realClock && (fpsGiven || startGiven)) {
        error = "--real-clock takes every time from the system clock: leave out --fps and --start-ms";
        return false;
    }
    if (sizeGiven && !options.monitors.empty()) {
        error = "--monitors sets the window to the monitors' bounding box: leave out --size";
        return false;
    }
    if (options.outDir.empty()) {
        error = "no output folder: give --out FOLDER";
        return false;
    }
    return true;
}

std::string renderUsage()
{
    return "Usage: flowball-render --out FOLDER [options]\n"
           "Renders the saver's scene offscreen (OpenGL through EGL, no display needed)\n"
           "and writes the frames as FOLDER/frame-00001.png, frame-00002.png, ...\n"
           "Options take one or two dashes; a value follows after a space or '='.\n"
           "\n"
           "  --out FOLDER        where the frames go; created if missing (its parent must\n"
           "                      exist)\n"
           "  --size WxH          window size in pixels (default 640x480, at most 8192 a side)\n"
           "  --frames N          number of frames (default 1)\n"
           "  --fps F             simulated clock: frame k is drawn at k / F seconds after\n"
           "                      the start, so every run gives the same pictures (0.001\n"
           "                      to 1000, default 30)\n"
           "  --start-ms MS       time of the first frame after the scene build (default 0)\n"
           "  --real-clock        take the times from the system clock instead; frames are\n"
           "                      drawn back to back and differ from run to run\n"
           "  --quiet             no progress line\n"
           "  -h, --help          this text\n"
           "\n"
           "The saver's settings:\n" +
           settingOptionsHelp() +
           "  --all               stars, particles, fog, underlay and overlay all on\n"
           "--frame-rate is taken as the saver takes it, but its choices\n"
           "change nothing here: the frames follow --fps or --real-clock.\n"
           "\n"
           "  --monitors WxH+X+Y,WxH+X+Y,...\n"
           "                      render for these monitors (virtual-screen pixels, top-left\n"
           "                      origin, '-' for edges left of or above it) in a window\n"
           "                      that is their bounding box: one view per monitor, or one\n"
           "                      across them all with --monitors span\n"
           "\n"
           "Exit status: 0 when every frame was written, 1 when rendering or writing\n"
           "failed, 2 for a bad command line, 130 when interrupted. A frame file appears\n"
           "only once it is complete.\n";
}
